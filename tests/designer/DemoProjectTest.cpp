#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BuildFixture.h"
#include "ProjectTestSupport.h"
#include "designer/ProjectOpening.h"
#include "formats/ProjectFile.h"
#include "formats/SetupScriptReader.h"
#include "formats/SetupScriptWriter.h"
#include "support/ProfileFile.h"

namespace {
const wchar_t* const kDemoFiles[] = {L"files\\app\\demo.cmd", L"files\\app\\settings.ini",
                                     L"files\\app\\lib\\helper.txt", L"files\\docs\\manual.txt",
                                     L"files\\docs\\changes.txt"};
}  // namespace

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

// Built from the command line into a fresh folder: the script describes the
// five files with their real sizes, data.dat holds them end to end, Setup.dat
// the two texts.
TEST(DemoProject, CommandLineBuildMakesAWholePackage) {
  BuildFixture fx;
  ScopedEnv temp(L"Temp", fx.root.Path());
  const std::wstring folder = fx.root / L"demo";
  CopyFolder(DemoFolder(), folder);
  RecordingConsole console;

  ASSERT_EQ(RunCommandLineBuild(
                ParseStartCommand({L"/build", folder + L"\\demo.kovrin", L"/out", fx.output}),
                fx.designer, console),
            kExitBuilt);

  const ProfileFile script = ProfileFile::Load(fx.output + L"\\Setup.ini");
  const SetupScriptValues values = ReadSetupScriptValues(script);
  EXPECT_EQ(values.ProgramName, L"Kovrin Demo");
  EXPECT_EQ(values.CompanyName, L"Morvel Labs");
  EXPECT_EQ(values.InstallPath, L"%ProgramFiles%\\%CompanyName%\\Kovrin Demo");
  EXPECT_EQ(values.CountOfFiles, 5);
  EXPECT_EQ(values.CountOfShortCuts, 2);
  EXPECT_TRUE(values.UseReadMe);
  EXPECT_FALSE(values.ReadMe.IsRtf);
  EXPECT_EQ(values.ReadMe.FontName, L"Arial");
  EXPECT_TRUE(values.UseLicense);
  EXPECT_TRUE(values.License.IsRtf);
  EXPECT_TRUE(values.UseRun);
  EXPECT_TRUE(values.UseUninstall);

  std::string payload;
  int64_t total = 0;
  for (int32_t n = 1; n <= 5; ++n) {
    const std::string bytes = ReadFileBytes(folder + L"\\" + kDemoFiles[n - 1]);
    const ScriptFileRow row = ReadFileRow(script, n);
    EXPECT_EQ(row.FileSize, static_cast<int64_t>(bytes.size())) << n;
    payload += bytes;
    total += row.FileSize;
  }
  EXPECT_EQ(ReadFileRow(script, 3).FileName, L"lib\\helper.txt");
  EXPECT_EQ(values.SummarySize, total);
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\data.dat"), payload);

  const SetupProject project = LoadProjectFile(folder + L"\\demo.kovrin");
  const std::string readMe = PlainTextBytes(project.ReadMeText);
  EXPECT_EQ(values.ReadMe.Size, static_cast<int32_t>(readMe.size()));
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\setup.dat"),
            readMe + ReadFileBytes(folder + L"\\license.rtf"));
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\Setup.exe"), ReadFileBytes(fx.designer + L"Kovrin.dat"));
  EXPECT_EQ(ReadShortcutRow(script, 2).ShortCutFileName, L"%InstallPath%\\manual.txt");
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
