#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BuildFixture.h"
#include "ProjectTestSupport.h"
#include "designer/ProjectOpening.h"
#include "formats/ProjectFile.h"

// The sample as an author would find it: files in two folders next to it,
// stored relative, a plain information text, an RTF license, two shortcuts.
TEST(DemoProject, HoldsWhatTheSampleDescribes) {
  TempDir dir;
  CopyFolder(DemoFolder(), dir / L"checkout");
  const std::wstring folder = dir / L"checkout";
  const OpenedProject opened = OpenProjectFile(folder + L"\\demo.kovrin");
  const SetupProject& p = opened.Project;

  EXPECT_TRUE(opened.Sizes.Missing.empty());
  EXPECT_EQ(p.ProgramName, L"Kovrin Demo");
  EXPECT_EQ(p.ProductVersion, L"1.0");
  ASSERT_EQ(p.Files.size(), 5u);
  for (size_t i = 0; i < p.Files.size(); ++i) {
    EXPECT_EQ(p.Files[i].SourcePath(), folder + L"\\" + kDemoFiles[i]);
    EXPECT_EQ(p.Files[i].Size,
              static_cast<int64_t>(ReadFileBytes(folder + L"\\" + kDemoFiles[i]).size()));
  }
  EXPECT_EQ(p.Files[2].RelativeName, L"lib\\helper.txt");
  EXPECT_TRUE(p.UseReadMe);
  EXPECT_EQ(p.ReadMeType, TextType::Txt);
  EXPECT_EQ(p.ReadMeText.at(0), L"Kovrin Demo — пример проекта Kovrin.");
  EXPECT_TRUE(p.UseLicense);
  EXPECT_EQ(p.LicenseType, TextType::Rtf);
  EXPECT_EQ(p.LicenseRtf, ReadFileBytes(folder + L"\\license.rtf"));
  EXPECT_NE(p.LicenseRtf.find("\\'cb\\'e8\\'f6\\'e5\\'ed\\'e7\\'e8\\'ee"), std::string::npos);
  ASSERT_EQ(p.Shortcuts.size(), 2u);
  EXPECT_EQ(p.Shortcuts[0].ShortCutSavePath, L"%Desktop%");
  EXPECT_EQ(p.Shortcuts[1].ShortCutSavePath, L"%StartMenu%");
  EXPECT_TRUE(p.UseUninstall);

  // The file is in the writer's own form: saving it again changes no byte.
  EXPECT_EQ(ProjectFileBytes(p, folder + L"\\demo.kovrin"),
            ReadFileBytes(folder + L"\\demo.kovrin"));
}

// The one-file sample differs from the sample only in its packer: built from the
// command line, its output folder holds the one program and nothing else, and
// that program carries the package the plain sample builds.
TEST(DemoProject, OneFileSampleBuildsOneProgram) {
  BuildFixture fx;
  ScopedEnv temp(L"Temp", fx.root.Path());
  WritePatternFile(fx.designer + L"sfx.dat", 4096, 3);
  const std::wstring folder = fx.root / L"demo";
  CopyFolder(DemoFolder(), folder);

  SetupProject plain = LoadProjectFile(folder + L"\\demo.kovrin");
  const SetupProject oneFile = LoadProjectFile(folder + L"\\demo-onefile.kovrin");
  EXPECT_TRUE(oneFile.UseBuiltInPacker);
  EXPECT_FALSE(oneFile.UseWinRar);
  plain.UseBuiltInPacker = true;
  plain.OutputFolder = oneFile.OutputFolder;
  EXPECT_EQ(ProjectFileBytes(plain, folder + L"\\demo-onefile.kovrin"),
            ReadFileBytes(folder + L"\\demo-onefile.kovrin"));

  RecordingConsole console;
  const std::wstring out = fx.root / L"one file";
  ASSERT_EQ(RunCommandLineBuild(
                ParseStartCommand({L"/build", folder + L"\\demo-onefile.kovrin", L"/out", out}),
                fx.designer, console),
            kExitBuilt);
  EXPECT_EQ(FilesIn(out), std::vector<std::wstring>{L"Setup.exe"});
  const std::string program = ReadFileBytes(out + L"\\Setup.exe");
  EXPECT_EQ(program.substr(0, 4096), ReadFileBytes(fx.designer + L"sfx.dat"));
  EXPECT_GT(program.size(), 4096u);
}
