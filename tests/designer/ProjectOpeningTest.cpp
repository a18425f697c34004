#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProjectFileChecks.h"
#include "ProjectTestSupport.h"
#include "designer/ExampleProject.h"
#include "designer/FileList.h"
#include "designer/ProjectOpening.h"
#include "formats/ProjectFile.h"
#include "support/Error.h"

namespace {
// The project that "Заполнить примером" leaves on a fresh designer, with the
// rich texts as the rich-text boxes save them.
SetupProject ExampleFill(const std::wstring& designerFolder) {
  const ExampleProject example = MakeExampleProject(designerFolder);
  SetupProject p;
  p.ProgramName = example.ProgramName;
  p.CompanyName = example.CompanyName;
  p.InstallPath = example.InstallPath;
  p.SetupFileName = example.SetupFileName;
  p.OutputFolder = example.OutputFolder;
  p.Files = example.Files;
  p.UseWinRar = true;
  p.CompressionLevel = example.CompressionLevel;
  const std::string rtfHead =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 MS Sans Serif;}}\r\n"
      "\\viewkind4\\uc1\\pard\\lang1049\\f0\\fs16 ";
  p.UseReadMe = true;
  p.ReadMeRtf = rtfHead +
                "\\'d2\\'e5\\'ea\\'f1\\'f2 \\'e8\\'ed\\'f4\\'ee\\'f0\\'ec\\'e0\\'f6\\'e8\\'e8 "
                "\\'e2 \\'f4\\'ee\\'f0\\'ec\\'e0\\'f2\\'e5 RTF\\par\r\n}\r\n";
  p.ReadMeText = {example.ReadMeTextLine};
  p.UseLicense = true;
  p.LicenseRtf = rtfHead +
                 "\\'d2\\'e5\\'ea\\'f1\\'f2 \\'eb\\'e8\\'f6\\'e5\\'ed\\'e7\\'e8\\'e8 "
                 "\\'e2 \\'f4\\'ee\\'f0\\'ec\\'e0\\'f2\\'e5 RTF\\par\r\n}\r\n";
  p.LicenseText = {example.LicenseTextLine};
  p.Shortcuts = {example.Shortcut};
  p.UseRun = true;
  p.RunFileName = example.RunFileName;
  p.UseGoSite = true;
  p.SiteAddress = example.SiteAddress;
  return p;
}
}  // namespace

TEST(ProjectOpening, TheExampleProjectSavesOpensAndSavesToTheSameBytes) {
  TempDir dir;
  const std::wstring designer = dir / L"Kovrin\\";
  CreateDirectoryW(designer.c_str(), nullptr);
  const SetupProject example = ExampleFill(designer);
  for (const FileEntry& file : example.Files) WriteTextFile(file.SourcePath(), "content");

  const std::wstring first = dir / L"example.kovrin";
  const std::wstring second = dir / L"again.kovrin";
  SaveProjectFile(example, first);
  const OpenedProject opened = OpenProjectFile(first);
  EXPECT_TRUE(opened.Sizes.Missing.empty());
  SaveProjectFile(opened.Project, second);
  EXPECT_EQ(ReadFileBytes(second), ReadFileBytes(first));
  // The files sit below the project's folder: the file says so relatively.
  EXPECT_NE(ReadFileBytes(first).find("Folder=Kovrin\\\r\n"), std::string::npos);

  SetupProject expected = example;
  for (FileEntry& file : expected.Files) file.Size = 7;  // measured on opening
  ExpectSameProject(opened.Project, expected);
}

// Sizes come from the disk, not the file; a missing file keeps its row with
// the size -1 and is named; a file too large for the package leaves the list.
TEST(ProjectOpening, SizesAreMeasuredMissingFilesNamedTooLargeOnesLeftOut) {
  TempDir dir;
  WriteTextFile(dir / L"a.txt", "12345");
  MakeSparseFile(dir / L"huge.bin", kPackageFileLimit);
  WriteTextFile(dir / L"c.txt", "");
  std::vector<FileEntry> files = {
      FileEntry{L"a.txt", dir.Path(), 999},     FileEntry{L"huge.bin", dir.Path(), 0},
      FileEntry{L"gone.txt", dir.Path(), 5},    FileEntry{L"c.txt", dir.Path() + L"\\", 3},
      FileEntry{L"x\\gone.txt", dir.Path(), 0},
  };

  const SizeRefresh sizes = RefreshFileSizes(files);

  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0].Size, 5);
  EXPECT_EQ(files[1].RelativeName, L"gone.txt");
  EXPECT_EQ(files[1].Size, -1);
  EXPECT_EQ(files[2].Size, 0);
  EXPECT_EQ(files[3].Size, -1);
  ASSERT_EQ(sizes.Missing.size(), 2u);
  EXPECT_EQ(sizes.Missing[0].Row, 1u);  // counted after the refused row left the list
  EXPECT_EQ(sizes.Missing[0].SourcePath, dir / L"gone.txt");
  EXPECT_EQ(sizes.Missing[1].Row, 3u);
  EXPECT_EQ(sizes.Missing[1].SourcePath, dir / L"x\\gone.txt");
  EXPECT_EQ(sizes.Refused, std::vector<std::wstring>{dir / L"huge.bin"});

  const std::wstring report = SizeRefreshReport(sizes, 1);
  EXPECT_NE(report.find(L"(2):\n" + dir / L"gone.txt" + L"\n… и ещё 1"), std::wstring::npos)
      << Narrow(report);
  EXPECT_NE(report.find(dir / L"huge.bin"), std::wstring::npos) << Narrow(report);
  EXPECT_EQ(SizeRefreshReport(SizeRefresh{}), L"");
}

TEST(ProjectOpening, AProjectWithMissingFilesStillOpens) {
  TempDir dir;
  CopyFolder(DemoFolder(), dir / L"demo");
  DeleteFileW((dir / L"demo\\files\\app\\settings.ini").c_str());

  const OpenedProject opened = OpenProjectFile(dir / L"demo\\demo.kovrin");

  ASSERT_EQ(opened.Project.Files.size(), 5u);
  ASSERT_EQ(opened.Sizes.Missing.size(), 1u);
  EXPECT_EQ(opened.Sizes.Missing[0].Row, 1u);
  EXPECT_EQ(opened.Sizes.Missing[0].SourcePath, dir / L"demo\\files\\app\\settings.ini");
  EXPECT_EQ(opened.Project.Files[1].Size, -1);
  EXPECT_GT(opened.Project.Files[0].Size, 0);
}

TEST(ProjectOpening, ADamagedFileOpensNothing) {
  TempDir dir;
  std::string text = ReadFileBytes(DemoFolder() + L"\\demo.kovrin");
  text.replace(text.find("Count=5"), 7, "Count=6");
  WriteTextFile(dir / L"demo.kovrin", text);
  try {
    OpenProjectFile(dir / L"demo.kovrin");
    FAIL() << "a damaged project opened";
  } catch (const KovrinError& error) {
    EXPECT_EQ(error.Message().rfind(
                  L"demo.kovrin, строка 14: Count=6, а в разделе [Files] строк File: 5", 0),
              0u)
        << Narrow(error.Message());
  }
}
