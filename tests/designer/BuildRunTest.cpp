#include <gtest/gtest.h>

#include "BuildFixture.h"
#include "formats/CrcText.h"
#include "formats/SetupScriptWriter.h"
#include "support/Crc32.h"
#include "support/Environment.h"
#include "support/Handle.h"
#include "support/ProfileFile.h"

namespace {
using Names = std::vector<std::wstring>;

std::string Concatenation(const std::vector<FileEntry>& files) {
  std::string bytes;
  for (const FileEntry& file : files) bytes += ReadFileBytes(file.SourcePath());
  return bytes;
}

bool IsEmptyFolder(const std::wstring& folder) {
  return FilesIn(folder).empty();
}

class BuildRun : public BuildRunFixture {};
}  // namespace

TEST_F(BuildRun, ExampleProjectGivesTheSeparatePackage) {
  project = ExampleProjectIn(fx);
  CreateDirectoryW(fx.output.c_str(), nullptr);
  WriteTextFile(fx.output + L"\\uninst.dat", "left by an earlier run");

  const BuildResult result = Run();

  ASSERT_EQ(result.Outcome, BuildOutcome::Done) << Narrow(result.Message);
  EXPECT_EQ(result.Message, L"Установочная программа создана.");
  EXPECT_EQ(FilesIn(fx.output),
            (Names{L"Setup.exe", L"Setup.ini", L"data.dat", L"setup.dat", L"uninst.dat"}));
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\uninst.dat"), "left by an earlier run");
  EXPECT_TRUE(IsEmptyFolder(fx.build));
  EXPECT_TRUE(observer.PositionsOf(BuildEvent::ArchiverStart).empty());  // no archive step
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\Setup.exe"), ReadFileBytes(fx.designer + L"Kovrin.dat"));
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\data.dat"), Concatenation(project.Files));
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\setup.dat"), project.ReadMeRtf + project.LicenseRtf);

  // The example's rows carried size 0: the build measured them and says so. The
  // script is the writer's key for key with those sizes (its text is pinned by the
  // format tests).
  const int64_t sizes[] = {70000, 450001, 766, 30};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(project.Files[i].Size, sizes[i]) << i;
  NullProgress quiet;
  WriteSetupScript(project, fx.root / L"expected.ini", quiet);
  // Then each file's CRC-32 and that of Setup.dat, taken here from the sources.
  ProfileFile expected = ProfileFile::Load(fx.root / L"expected.ini");
  for (size_t i = 0; i < 4; ++i) {
    const std::string bytes = ReadFileBytes(project.Files[i].SourcePath());
    expected.WriteString(L"One_Files", L"FileCrc" + std::to_wstring(i + 1),
                         CrcText(Crc32(bytes.data(), bytes.size())));
  }
  const std::string texts = project.ReadMeRtf + project.LicenseRtf;
  expected.WriteString(L"One_Data", L"TextsCrc", CrcText(Crc32(texts.data(), texts.size())));
  expected.Save(fx.root / L"expected.ini");
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\Setup.ini"), ReadFileBytes(fx.root / L"expected.ini"));

  EXPECT_EQ(observer.StageTrace(), "B1 E1 B2 E2 B3 E3 B4 E4");
  EXPECT_EQ(observer.Statuses().back(), L"Создание завершено");
  const Names statuses = observer.Statuses();
  const Names expectedStart = {L"Создание файла Setup.ini", L"Создание файла с программой...",
                               L"Добавление файла Kovrin.exe"};
  EXPECT_EQ(Names(statuses.begin(), statuses.begin() + 3), expectedStart);
  // The launcher stage's bar counts Kovrin.dat and both texts together up to 100.
  const std::vector<int> launcher = observer.PositionsIn(BuildStage::Launcher);
  ASSERT_GE(launcher.size(), 5u);
  EXPECT_EQ(launcher[launcher.size() - 2], 100);
  EXPECT_EQ(launcher.back(), 0);
}

TEST_F(BuildRun, PayloadMovesWholeBlocksAndRefreshesChangedSizes) {
  project.Files = {fx.AddSource(L"exact.bin", 1000000, 1), fx.AddSource(L"empty.bin", 0, 2),
                   fx.AddSource(L"longer.bin", 1000001, 3), fx.AddSource(L"grown.txt", 10, 4)};
  project.Files[3].Size = 3;   // recorded before the file grew
  project.Files[1].Size = -1;  // recorded while another program held it

  ASSERT_EQ(Run().Outcome, BuildOutcome::Done);

  EXPECT_EQ(ReadFileBytes(fx.output + L"\\data.dat"), Concatenation(project.Files));
  const ProfileFile ini = ProfileFile::Load(fx.output + L"\\Setup.ini");
  EXPECT_EQ(ini.ReadString(L"One_Files", L"FileSize1", L""), L"1000000");
  EXPECT_EQ(ini.ReadString(L"One_Files", L"FileSize2", L""), L"0");
  EXPECT_EQ(ini.ReadString(L"One_Files", L"FileSize3", L""), L"1000001");
  EXPECT_EQ(ini.ReadString(L"One_Files", L"FileSize4", L""), L"10");
  EXPECT_EQ(ini.ReadString(L"One_Data", L"SummarySize", L""), L"2000011");
  for (size_t i = 0; i < project.Files.size(); ++i)  // a checksum over every block of a file
    EXPECT_EQ(ini.ReadString(L"One_Files", L"FileCrc" + std::to_wstring(i + 1), L""),
              CrcKeyText(ReadFileBytes(project.Files[i].SourcePath())))
        << i;
  EXPECT_EQ(project.Files[3].Size, 10);
  EXPECT_EQ(project.Files[1].Size, 0);
  // 1,000,000 bytes are one final piece and move no bar; 1,000,001 are a block
  // (bar moved) and a piece of one byte; the payload stage then resets the bar.
  EXPECT_EQ(observer.PositionsIn(BuildStage::Payload), (std::vector<int>{100, 0}));
  EXPECT_EQ(FilesIn(fx.output), (Names{L"Setup.exe", L"Setup.ini", L"data.dat"}));
}

TEST_F(BuildRun, SortByExtensionOrdersScriptAndPayload) {
  project.SortByExtension = true;
  project.Files = {fx.AddSource(L"b.txt", 11, 1), fx.AddSource(L"A.EXE", 22, 2),
                   fx.AddSource(L"readme", 33, 3), fx.AddSource(L"c.exe", 44, 4)};

  ASSERT_EQ(Run().Outcome, BuildOutcome::Done);

  const Names order = {L"readme", L"A.EXE", L"c.exe", L"b.txt"};
  const ProfileFile ini = ProfileFile::Load(fx.output + L"\\Setup.ini");
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(project.Files[i].RelativeName, order[i]);
    EXPECT_EQ(ini.ReadString(L"One_Files", L"FileName" + std::to_wstring(i + 1), L""), order[i]);
  }
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\data.dat"), Concatenation(project.Files));
  EXPECT_EQ(observer.Statuses().front(), L"Сортировка файлов...");
}

TEST_F(BuildRun, TextsAndUninstallerGoWhereTheProjectAsks) {
  project.OutputFolder = fx.output + L"\\nested\\deeper\\";
  project.SetupFileName = L"install me.exe";
  project.UseLicense = true;  // the license alone, from the first byte of setup.dat
  project.LicenseType = TextType::Txt;
  project.LicenseText = {L"Лицензия", L"строка 2"};
  project.UseUninstall = true;

  ASSERT_EQ(Run().Outcome, BuildOutcome::Done);

  const std::wstring out = fx.output + L"\\nested\\deeper";
  EXPECT_EQ(FilesIn(out),
            (Names{L"Setup.ini", L"data.dat", L"install me.exe", L"setup.dat", L"uninst.dat"}));
  EXPECT_EQ(ReadFileBytes(out + L"\\setup.dat"),
            "\xcb\xe8\xf6\xe5\xed\xe7\xe8\xff\r\n\xf1\xf2\xf0\xee\xea\xe0 2\r\n");
  EXPECT_EQ(ProfileFile::Load(out + L"\\Setup.ini").ReadString(L"One_Data", L"TextsCrc", L""),
            CrcKeyText(ReadFileBytes(out + L"\\setup.dat")));
  EXPECT_EQ(ReadFileBytes(out + L"\\uninst.dat"), ReadFileBytes(fx.designer + L"uninst.dat"));
  EXPECT_EQ(GetFileSize64(out + L"\\data.dat"), 0);
  EXPECT_TRUE(IsEmptyFolder(fx.build));
}

TEST_F(BuildRun, WithoutTextsNoSetupDatAndTheLauncherStatusStays) {
  ASSERT_EQ(Run().Outcome, BuildOutcome::Done);

  EXPECT_EQ(FilesIn(fx.output), (Names{L"Setup.exe", L"Setup.ini", L"data.dat"}));
  EXPECT_FALSE(ProfileFile::Load(fx.output + L"\\Setup.ini").HasKey(L"One_Data", L"TextsCrc"));
  const Names statuses = observer.Statuses();
  ASSERT_GE(statuses.size(), 2u);
  EXPECT_EQ(statuses[statuses.size() - 2], L"Запись запускаемого модуля...");
  EXPECT_EQ(statuses.back(), L"Создание завершено");
}

TEST_F(BuildRun, MissingSourceEndsTheRunAndKeepsTheBuildFolderWithoutItsScript) {
  project.Files = {fx.AddSource(L"present.bin", 100, 1), FileEntry{L"gone.bin", fx.sources, 5}};

  const BuildResult result = Run();

  ASSERT_EQ(result.Outcome, BuildOutcome::Failed);
  EXPECT_NE(result.Message.find(fx.sources + L"\\gone.bin"), std::wstring::npos)
      << Narrow(result.Message);
  EXPECT_EQ(observer.StageTrace(), "B1 E1 B2");
  EXPECT_EQ(observer.Statuses().back(), L"Добавление файла gone.bin");
  EXPECT_EQ(FilesIn(fx.build), (Names{L"data.dat"}));
  EXPECT_TRUE(IsEmptyFolder(fx.output));
}

TEST_F(BuildRun, FailuresThatUsedToPassAsSuccess) {
  struct Case {
    const char* what;
    std::function<void(SetupProject&)> change;
    const wchar_t* said;  // part of the message
  };
  WriteTextFile(fx.root / L"a file", "x");
  const Case cases[] = {
      {"uninstaller missing beside the designer",
       [&](SetupProject& p) {
         p.UseUninstall = true;
         DeleteFileW((fx.designer + L"uninst.dat").c_str());
       },
       L"uninst.dat"},
      {"output folder below a file",
       [&](SetupProject& p) { p.OutputFolder = fx.root / L"a file\\out"; },
       L"Unable to create directory"},
      {"empty output folder", [](SetupProject& p) { p.OutputFolder.clear(); },
       L"Unable to create directory"},
      {"output folder is the build folder",
       [&](SetupProject& p) { p.OutputFolder = fx.build + L"\\"; }, L"временной папкой"},
      {"setup name of a package file", [](SetupProject& p) { p.SetupFileName = L"DATA.DAT"; },
       L"совпадает с именем файла пакета"},
      {"setup name with a folder", [](SetupProject& p) { p.SetupFileName = L"..\\escape.exe"; },
       L"без папки"},
      {"setup name with a drive", [](SetupProject& p) { p.SetupFileName = L"C:escape.exe"; },
       L"без папки"},
      {"launcher image missing",
       [&](SetupProject&) { DeleteFileW((fx.designer + L"Kovrin.dat").c_str()); }, L"Kovrin.dat"},
  };
  for (const Case& c : cases) {
    SetupProject changed = project;
    c.change(changed);
    RecordingObserver seen;
    const BuildResult result = RunBuild(changed, fx.Folders(), seen);
    EXPECT_EQ(result.Outcome, BuildOutcome::Failed) << c.what;
    EXPECT_NE(result.Message.find(c.said), std::wstring::npos)
        << c.what << ": " << Narrow(result.Message);
    EXPECT_NE(seen.Statuses().back(), L"Создание завершено") << c.what;
    EXPECT_TRUE(IsEmptyFolder(fx.output)) << c.what;
  }
}

TEST(BuildRunCancel, EmptiesTheBuildFolderAndKeepsThePreviousPackage) {
  for (int stage = 1; stage <= 4; ++stage) {
    BuildFixture fx;
    SetupProject project;
    project.OutputFolder = fx.output;
    project.UseReadMe = true;
    project.Files = {fx.AddSource(L"big.bin", 3500000, 1)};
    CreateDirectoryW(fx.output.c_str(), nullptr);
    WriteTextFile(fx.output + L"\\data.dat", "previous package");
    RecordingObserver observer;
    // Ask to stop as the stage begins; stage 2 also stops in the middle of its blocks.
    observer.onStage = [&](BuildStage begun) {
      if (static_cast<int>(begun) == stage)
        observer.cancelAtPoll = observer.polls + (stage == 2 ? 4 : 1);
    };

    const BuildResult result = RunBuild(project, fx.Folders(), observer);

    ASSERT_EQ(result.Outcome, BuildOutcome::Cancelled) << stage;
    EXPECT_GT(observer.pumps, 0) << stage;  // the windows were let to repaint
    EXPECT_EQ(result.Message, L"Создание программы установки отменено.");
    EXPECT_TRUE(IsEmptyFolder(fx.build)) << stage;
    EXPECT_EQ(FilesIn(fx.output), Names{L"data.dat"}) << stage;
    EXPECT_EQ(ReadFileBytes(fx.output + L"\\data.dat"), "previous package") << stage;
    EXPECT_EQ(observer.Statuses().back(), L"Создание отменено");
  }
}

TEST(BuildFolder, ComesFromTempOrTheSystemTemporaryFolder) {
  const std::wstring saved = GetEnvVar(L"Temp");
  SetEnvironmentVariableW(L"Temp", L"D:\\Work Temp");
  EXPECT_EQ(BuildFolderFromEnvironment(), L"D:\\Work Temp\\Kovrin");
  SetEnvironmentVariableW(L"Temp", nullptr);
  const std::wstring fallback = BuildFolderFromEnvironment();
  SetEnvironmentVariableW(L"Temp", saved.empty() ? nullptr : saved.c_str());
  wchar_t system[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, system);
  EXPECT_EQ(fallback, WithoutTrailingBackslash(system) + L"\\Kovrin");
  EXPECT_GT(fallback.size(), std::wstring(L"\\Kovrin").size());
}

TEST_F(BuildRun, ANameWindows1251CannotHoldStopsTheBuildNamingIt) {
  project.Files = {fx.AddSource(L"ok.txt", 10, 1), fx.AddSource(L"日本.txt", 10, 2)};

  const BuildResult result = Run();

  ASSERT_EQ(result.Outcome, BuildOutcome::Failed);
  EXPECT_NE(result.Message.find(L"日本.txt"), std::wstring::npos) << Narrow(result.Message);
  EXPECT_TRUE(IsEmptyFolder(fx.output));
}

// Publishing replaces the previous package whole or not at all.
TEST_F(BuildRun, APublishThatFailsPartWayPutsThePreviousPackageBack) {
  project.Files = {fx.AddSource(L"a.txt", 10, 1)};
  CreateDirectoryW(fx.output.c_str(), nullptr);
  const std::vector<std::pair<std::wstring, std::string>> previous = {
      {L"Setup.exe", "old launcher"}, {L"data.dat", "old data"}, {L"Setup.ini", "old script"}};
  auto layOut = [&] {
    for (const auto& [name, bytes] : previous) {
      SetFileAttributesW((fx.output + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      WriteTextFile(fx.output + L"\\" + name, bytes);
    }
  };
  auto expectPrevious = [&](const char* how) {
    EXPECT_EQ(FilesIn(fx.output), (Names{L"Setup.exe", L"Setup.ini", L"data.dat"})) << how;
    for (const auto& [name, bytes] : previous)
      EXPECT_EQ(ReadFileBytes(fx.output + L"\\" + name), bytes) << how << " " << Narrow(name);
  };

  // An old read-only script: the launcher and data.dat come before it.
  layOut();
  SetFileAttributesW((fx.output + L"\\Setup.ini").c_str(), FILE_ATTRIBUTE_READONLY);
  BuildResult result = Run();
  EXPECT_EQ(result.Outcome, BuildOutcome::Failed);
  EXPECT_NE(result.Message.find(fx.output + L"\\Setup.ini"), std::wstring::npos)
      << Narrow(result.Message);
  expectPrevious("read-only");

  // An old script that another program holds open.
  layOut();
  {
    FileHandle held(CreateFileW((fx.output + L"\\Setup.ini").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.Valid());
    result = Run();
  }
  EXPECT_EQ(result.Outcome, BuildOutcome::Failed);
  expectPrevious("held open");

  // Nothing in the way: the new package replaces the old one whole.
  result = Run();
  ASSERT_EQ(result.Outcome, BuildOutcome::Done) << Narrow(result.Message);
  EXPECT_EQ(FilesIn(fx.output), (Names{L"Setup.exe", L"Setup.ini", L"data.dat"}));
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\data.dat"), ReadFileBytes(project.Files[0].SourcePath()));
}
