#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BuildFixture.h"
#include "ProjectTestSupport.h"
#include "designer/CommandLineBuild.h"
#include "formats/ProjectFile.h"
#include "formats/SetupScriptReader.h"
#include "formats/SetupScriptWriter.h"
#include "support/Handle.h"
#include "support/ProfileFile.h"

namespace {
using Args = std::vector<std::wstring>;

// The sample project copied into the fixture, the work folders in its Temp,
// and the command-line build run on it.
class CommandLineBuildRun : public ::testing::Test {
 protected:
  CommandLineBuildRun() : temp_(L"Temp", fx.root / L"temp") {
    CopyFolder(DemoFolder(), project);
    CreateDirectoryW((fx.root / L"temp").c_str(), nullptr);
  }

  int Build(const Args& arguments) {
    return RunCommandLineBuild(ParseStartCommand(arguments), fx.designer, console);
  }
  int BuildDemo() { return Build({L"/build", projectFile, L"/out", fx.output}); }

  void DamageProject(const std::string& find, const std::string& replace) {
    std::string text = ReadFileBytes(projectFile);
    text.replace(text.find(find), find.size(), replace);
    WriteTextFile(projectFile, text);
  }
  // The output folder exactly as an earlier run left it.
  void ExpectOutputUntouched() {
    EXPECT_EQ(FilesIn(fx.output), std::vector<std::wstring>{L"old.txt"});
    EXPECT_FALSE(FolderExists(WorkFolder())) << "the run's work folder stayed behind";
    EXPECT_EQ(ReadFileBytes(fx.output + L"\\old.txt"), "earlier package");
  }
  std::wstring WorkFolder() const {
    return fx.output + L"\\~kovrin-build-" + std::to_wstring(GetCurrentProcessId());
  }
  void PutEarlierPackage() {
    CreateDirectoryW(fx.output.c_str(), nullptr);
    WriteTextFile(fx.output + L"\\old.txt", "earlier package");
  }

  BuildFixture fx;
  std::wstring project = fx.root / L"demo";
  std::wstring projectFile = project + L"\\demo.kovrin";
  RecordingConsole console;

 private:
  ScopedEnv temp_;
};
}  // namespace

TEST(CommandLine, ChoosesDesignerOpenProjectOrBuild) {
  EXPECT_EQ(ParseStartCommand({}).Mode, StartMode::Designer);
  EXPECT_EQ(ParseStartCommand({L"a.kovrin", L"b.kovrin"}).Mode, StartMode::Designer);
  const StartCommand open = ParseStartCommand({L"C:\\p\\a b.kovrin"});
  EXPECT_EQ(open.Mode, StartMode::OpenProject);
  EXPECT_EQ(open.ProjectPath, L"C:\\p\\a b.kovrin");

  const StartCommand build = ParseStartCommand({L"/BUILD", L"p.kovrin", L"/Out", L"C:\\out"});
  EXPECT_EQ(build.Mode, StartMode::Build);
  EXPECT_EQ(build.UsageError, L"");
  EXPECT_EQ(build.ProjectPath, L"p.kovrin");
  EXPECT_EQ(build.OutputFolder, L"C:\\out");
  const StartCommand reversed = ParseStartCommand({L"/out", L"o", L"/build", L"p"});
  EXPECT_EQ(reversed.UsageError, L"");
  EXPECT_EQ(reversed.ProjectPath, L"p");
  EXPECT_EQ(ParseStartCommand({L"/build", L"p"}).OutputFolder, L"");
}

TEST(CommandLine, AnythingElseIsAUsageError) {
  const std::vector<std::pair<Args, std::wstring>> cases = {
      {{L"/build"}, L"/build требует файл проекта."},
      {{L"/build", L"/out", L"o"}, L"/build требует файл проекта."},
      {{L"/build", L"p", L"/out"}, L"/out требует папку."},
      {{L"/build", L""}, L"/build требует файл проекта."},
      {{L"/build", L"p", L"/build", L"q"}, L"/build указан дважды."},
      {{L"/build", L"p", L"extra"}, L"Лишний аргумент \"extra\"."},
      {{L"/help"}, L"Неизвестный ключ /help."},
      {{L"/out", L"o"}, L"Не указан ключ /build с файлом проекта."},
      {{L"a.kovrin", L"/build", L"p"}, L"Лишний аргумент \"a.kovrin\"."},
  };
  for (const auto& [arguments, problem] : cases) {
    const StartCommand command = ParseStartCommand(arguments);
    EXPECT_EQ(command.Mode, StartMode::Build);
    EXPECT_EQ(command.UsageError, problem);
    RecordingConsole console;
    EXPECT_EQ(RunCommandLineBuild(command, L"C:\\nowhere\\", console), kExitUsage);
    ASSERT_EQ(console.errors.size(), 1u);
    EXPECT_EQ(console.errors[0], problem + L" " + kBuildUsage);
    EXPECT_TRUE(console.out.empty());
  }
}

TEST(CommandLine, SplitsTheCommandLineAsTheSystemDoes) {
  EXPECT_EQ(CommandLineArguments(
                L"\"C:\\Program Files\\Kovrin\\Kovrin.exe\" /build \"my demo.kovrin\" /out C:\\x"),
            (Args{L"/build", L"my demo.kovrin", L"/out", L"C:\\x"}));
  EXPECT_EQ(CommandLineArguments(L"Kovrin.exe"), Args{});
}

TEST_F(CommandLineBuildRun, BuildsTheDemoAndPrintsItsStages) {
  ASSERT_EQ(BuildDemo(), kExitBuilt) << (console.errors.empty() ? "" : Narrow(console.errors[0]));
  EXPECT_TRUE(console.errors.empty());
  // Each status line under the heading of its stage, the end last.
  const std::vector<std::wstring> start(console.out.begin() + 1, console.out.begin() + 5);
  EXPECT_EQ(start,
            (std::vector<std::wstring>{L"[1/4] Создание INI файла", L"    Создание файла Setup.ini",
                                       L"[2/4] Добавление файлов для установки",
                                       L"    Создание файла с программой..."}));
  EXPECT_TRUE(console.Printed(L"    Добавление файла lib\\helper.txt"));
  const std::vector<std::wstring> end(console.out.end() - 3, console.out.end());
  EXPECT_EQ(end, (std::vector<std::wstring>{L"[4/4] Сжатие файлов", L"    Создание завершено",
                                            L"Установочная программа создана. " + fx.output}));
  EXPECT_EQ(FilesIn(fx.output), (std::vector<std::wstring>{L"Setup.exe", L"Setup.ini", L"data.dat",
                                                           L"setup.dat", L"uninst.dat"}));
  // Its work folder in the output folder is gone, and the designer's own was never used.
  EXPECT_FALSE(FolderExists(WorkFolder()));
  EXPECT_EQ(FilesIn(fx.root / L"temp"), std::vector<std::wstring>{});
  EXPECT_FALSE(FolderExists(fx.root / L"temp\\Kovrin-" + std::to_wstring(GetCurrentProcessId())));
  EXPECT_FALSE(FolderExists(fx.root / L"temp\\Kovrin"));

  // The script describes the five files with their real sizes, data.dat holds
  // them end to end, Setup.dat the two texts.
  const ProfileFile script = ProfileFile::Load(fx.output + L"\\Setup.ini");
  const SetupScriptValues values = ReadSetupScriptValues(script);
  EXPECT_EQ(values.ProgramName, L"Kovrin Demo");
  EXPECT_EQ(values.CompanyName, L"Morvel Labs");
  EXPECT_EQ(values.InstallPath, L"%ProgramFiles%\\%CompanyName%\\Kovrin Demo");
  EXPECT_EQ(values.CountOfFiles, 5);
  EXPECT_EQ(values.CountOfShortCuts, 2);
  EXPECT_FALSE(values.ReadMe.IsRtf);
  EXPECT_EQ(values.ReadMe.FontName, L"Arial");
  EXPECT_TRUE(values.License.IsRtf);
  EXPECT_TRUE(values.UseRun && values.UseUninstall && values.UseReadMe && values.UseLicense);
  std::string payload;
  for (int32_t n = 1; n <= 5; ++n) {
    const std::string bytes = ReadFileBytes(project + L"\\" + kDemoFiles[n - 1]);
    EXPECT_EQ(ReadFileRow(script, n)->FileSize, static_cast<int64_t>(bytes.size())) << n;
    payload += bytes;
  }
  EXPECT_EQ(ReadFileRow(script, 3)->FileName, L"lib\\helper.txt");
  EXPECT_EQ(values.SummarySize, static_cast<int64_t>(payload.size()));
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\data.dat"), payload);
  const std::string readMe = PlainTextBytes(LoadProjectFile(projectFile).ReadMeText);
  EXPECT_EQ(values.ReadMe.Size, static_cast<int32_t>(readMe.size()));
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\setup.dat"),
            readMe + ReadFileBytes(project + L"\\license.rtf"));
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\Setup.exe"), ReadFileBytes(fx.designer + L"Kovrin.dat"));
  EXPECT_EQ(ReadShortcutRow(script, 2).ShortCutFileName, L"%InstallPath%\\manual.txt");
}

TEST_F(CommandLineBuildRun, ABrokenProjectLeavesTheOutputFolderUntouched) {
  PutEarlierPackage();
  DamageProject("UseUninstall=Yes", "UseUninstall=Maybe");
  EXPECT_EQ(BuildDemo(), kExitBadProject);
  ASSERT_EQ(console.errors.size(), 1u);
  EXPECT_EQ(console.errors[0].rfind(L"Проект не собран: demo.kovrin, строка ", 0), 0u)
      << Narrow(console.errors[0]);
  ExpectOutputUntouched();

  console = RecordingConsole();
  EXPECT_EQ(Build({L"/build", project + L"\\absent.kovrin", L"/out", fx.output}), kExitBadProject);
  EXPECT_NE(console.errors.at(0).find(L"Cannot open file"), std::wstring::npos);
  ExpectOutputUntouched();
}

TEST_F(CommandLineBuildRun, AMissingSourceFileFailsBeforeTheOutputFolderIsTouched) {
  DeleteFileW((project + L"\\files\\docs\\manual.txt").c_str());
  DeleteFileW((project + L"\\files\\app\\lib\\helper.txt").c_str());
  EXPECT_EQ(BuildDemo(), kExitMissingSource);
  EXPECT_EQ(console.errors.at(0), L"Не найден или не открывается исходный файл: " + project +
                                      L"\\files\\app\\lib\\helper.txt (и ещё 1)");
  EXPECT_FALSE(FolderExists(fx.output));

  PutEarlierPackage();
  console = RecordingConsole();
  EXPECT_EQ(BuildDemo(), kExitMissingSource);
  ExpectOutputUntouched();
}

// The sizes come from folder listings, so a file that is there but cannot be
// read is found when its bytes are taken: still the source's code, and the
// earlier package stays as it was.
TEST_F(CommandLineBuildRun, ASourceFileThatCannotBeOpenedHasTheSourcesCode) {
  const std::wstring locked = project + L"\\files\\docs\\manual.txt";
  const FileHandle holder(
      CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  PutEarlierPackage();
  EXPECT_EQ(BuildDemo(), kExitMissingSource);
  ASSERT_FALSE(console.errors.empty());
  EXPECT_NE(console.errors.at(0).find(locked), std::wstring::npos) << Narrow(console.errors.at(0));
  ExpectOutputUntouched();
}

TEST_F(CommandLineBuildRun, AnOutputFolderThatCannotBeWritten) {
  WriteTextFile(fx.root / L"a-file", "x");
  EXPECT_EQ(Build({L"/build", projectFile, L"/out", fx.root / L"a-file\\out"}), kExitOutputFolder);
  EXPECT_EQ(console.errors.at(0).rfind(L"Папка для установочной программы недоступна для записи: " +
                                           fx.root / L"a-file\\out",
                                       0),
            0u)
      << Narrow(console.errors.at(0));
}

TEST_F(CommandLineBuildRun, AnArchiverThatFailsHasItsOwnCode) {
  WriteTextFile(project + L"\\archiver.nothing-opens-this", "not a program");
  DamageProject("UseWinRar=No\r\nWinRarPath=",
                "UseWinRar=Yes\r\nWinRarPath=" + Narrow(project) + "\\archiver.nothing-opens-this");
  EXPECT_EQ(BuildDemo(), kExitArchiver);
  EXPECT_EQ(console.errors.at(0).rfind(L"Ошибка WinRAR: ", 0), 0u) << Narrow(console.errors.at(0));
  EXPECT_NE(console.errors.at(0).find(project + L"\\archiver.nothing-opens-this"),
            std::wstring::npos);
  EXPECT_TRUE(console.Printed(L"    Запускается WinRAR..."));
}

TEST_F(CommandLineBuildRun, MissingKitFilesStopTheBuildBeforeItStarts) {
  DeleteFileW((fx.designer + L"uninst.dat").c_str());
  EXPECT_EQ(BuildDemo(), kExitBuildFailed);
  EXPECT_EQ(console.errors.at(0),
            L"Не найден файл Kovrin, нужный для сборки: " + fx.designer + L"uninst.dat");
  EXPECT_FALSE(FolderExists(fx.output));
}

// A project file can carry any text: a setup file name with a folder part
// would write outside the output folder, and is refused before anything is written.
TEST_F(CommandLineBuildRun, ASetupFileNameWithAFolderIsRefused) {
  DamageProject("SetupFileName=Setup.exe", "SetupFileName=..\\escaped.exe");
  EXPECT_EQ(BuildDemo(), kExitBadProject);
  EXPECT_NE(console.errors.at(0).find(L"без папки"), std::wstring::npos)
      << Narrow(console.errors.at(0));
  EXPECT_FALSE(FolderExists(fx.output));
  EXPECT_FALSE(FileExists(fx.root / L"escaped.exe"));
}

TEST(CommandLine, SetTakesTheMainKeysAndSignTakesACommand) {
  const StartCommand build =
      ParseStartCommand({L"/build", L"p", L"/set", L"productversion=2.3.1", L"/SET",
                         L"OutputFolder=C:\\a=b", L"/sign", L"signtool sign {file}"});
  EXPECT_EQ(build.UsageError, L"");
  EXPECT_EQ(build.Values, (std::vector<std::pair<std::wstring, std::wstring>>{
                              {L"ProductVersion", L"2.3.1"}, {L"OutputFolder", L"C:\\a=b"}}));
  EXPECT_EQ(build.SignCommand, L"signtool sign {file}");

  const std::vector<std::pair<Args, std::wstring>> cases = {
      {{L"/build", L"p", L"/set", L"Version=1"}, L"/set не знает ключа Version"},
      {{L"/build", L"p", L"/set", L"ProductVersion"}, L"/set требует КЛЮЧ=ЗНАЧЕНИЕ"},
      {{L"/build", L"p", L"/set"}, L"/set требует КЛЮЧ=ЗНАЧЕНИЕ."},
      {{L"/build", L"p", L"/set", L"ProgramName=X\r\n[Extended]"}, L"управляющий знак U+000D"},
      {{L"/build", L"p", L"/sign"}, L"/sign требует команду подписи."},
      {{L"/build", L"p", L"/sign", L"a", L"/sign", L"b"}, L"/sign указан дважды."},
  };
  for (const auto& [arguments, message] : cases) {
    const StartCommand command = ParseStartCommand(arguments);
    EXPECT_NE(command.UsageError.find(message), std::wstring::npos) << Narrow(command.UsageError);
  }
  RecordingConsole console;
  EXPECT_EQ(RunCommandLineBuild(ParseStartCommand(cases[0].first), L"C:\\", console), kExitUsage);
}

TEST_F(CommandLineBuildRun, SetValuesReachThePackageAndLeaveTheProjectAlone) {
  const std::string before = ReadFileBytes(projectFile);
  ASSERT_EQ(Build({L"/build", projectFile, L"/set", L"ProductVersion=2.3.1", L"/set",
                   L"SetupFileName=Install.exe", L"/set", L"OutputFolder=" + fx.output}),
            kExitBuilt)
      << (console.errors.empty() ? "" : Narrow(console.errors[0]));
  EXPECT_NE(ReadFileBytes(fx.output + L"\\Setup.ini").find("ProductVersion=2.3.1"),
            std::string::npos);
  EXPECT_TRUE(FileExists(fx.output + L"\\Install.exe"));
  EXPECT_EQ(ReadFileBytes(projectFile), before);
}

TEST_F(CommandLineBuildRun, AFolderRuleWithNothingToTakeFailsBeforeTheOutputFolderIsTouched) {
  PutEarlierPackage();
  DamageProject("Folder=files\\docs",
                "RuleCount=1\r\nRuleFolder=files\\missing\r\nFolder=files\\docs");
  EXPECT_EQ(BuildDemo(), kExitMissingSource);
  EXPECT_NE(console.errors.at(0).find(project + L"\\files\\missing"), std::wstring::npos)
      << Narrow(console.errors.at(0));
  ExpectOutputUntouched();

  // A rule over the docs folder that excludes all of it.
  console = RecordingConsole();
  DamageProject("RuleFolder=files\\missing", "RuleFolder=files\\docs\r\nRuleExclude=*.txt");
  EXPECT_EQ(BuildDemo(), kExitMissingSource);
  EXPECT_NE(console.errors.at(0).find(L"не выбрало ни одного файла"), std::wstring::npos);
  ExpectOutputUntouched();
}

TEST_F(CommandLineBuildRun, AFailingSigningCommandStopsTheBuildWithItsOutput) {
  PutEarlierPackage();
  EXPECT_EQ(Build({L"/build", projectFile, L"/out", fx.output, L"/sign",
                   L"echo cannot reach the key store for {file}& exit 3"}),
            kExitSigning);
  ASSERT_EQ(console.errors.size(), 1u);
  const std::wstring& error = console.errors[0];
  EXPECT_EQ(error.rfind(L"Подпись не удалась: ", 0), 0u) << Narrow(error);
  EXPECT_NE(error.find(L"кодом 3"), std::wstring::npos) << Narrow(error);
  EXPECT_NE(error.find(L"cannot reach the key store for \""), std::wstring::npos) << Narrow(error);
  EXPECT_NE(error.find(L"Setup.exe\""), std::wstring::npos) << Narrow(error);
  ExpectOutputUntouched();
}
