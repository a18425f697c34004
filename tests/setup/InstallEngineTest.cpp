#include <gtest/gtest.h>

#include "InstallFixtures.h"
#include "formats/UninstallRecord.h"
#include "setup/InstallEngine.h"
#include "support/ComScope.h"
#include "support/Handle.h"

namespace {
class InstallEngineTest : public ::testing::Test {
 protected:
  ComScope com;
  TestPackage package;
  RecordingEvents events;

  InstallChoices Choices() { return {package.InstallFolder()}; }
  std::wstring Installed(const std::wstring& name) {
    return package.InstallFolder() + L"\\" + name;
  }
};
}  // namespace

TEST_F(InstallEngineTest, CopiesEveryFileByteForByteAndRecordsThemInOrder) {
  package.AddFile(L"empty.dat", 0);
  package.AddFile(L"million.bin", 1000000);
  package.AddFile(L"million1.bin", 1000001);
  package.AddFile(L"docs\\readme.txt", 4321);
  package.Write();
  SetupState state = package.State();

  EXPECT_TRUE(RunInstall(state, Choices(), events));

  EXPECT_EQ(ReadFileBytes(Installed(L"empty.dat")), package.contents[0]);
  EXPECT_EQ(ReadFileBytes(Installed(L"million.bin")), package.contents[1]);
  EXPECT_EQ(ReadFileBytes(Installed(L"million1.bin")), package.contents[2]);
  EXPECT_EQ(ReadFileBytes(Installed(L"docs\\readme.txt")), package.contents[3]);
  const std::wstring root = package.InstallFolder();
  std::wstring rows;
  const wchar_t* names[] = {L"empty.dat", L"million.bin", L"million1.bin", L"docs\\readme.txt"};
  for (int n = 1; n <= 4; ++n) {
    const std::string& bytes = package.contents[n - 1];
    const std::wstring number = std::to_wstring(n);
    rows += L"File" + number + L"=" + root + L"\\" + names[n - 1] + L"\r\nFileSize" + number +
            L"=" + std::to_wstring(bytes.size()) + L"\r\nFileCrc" + number + L"=" +
            CrcKeyText(bytes) + L"\r\n";
  }
  EXPECT_EQ(UninstallScriptText(root), L"[Files]\r\nFileCount=4\r\nProgramName=" +
                                           package.programName + L"\r\n" + rows +
                                           L"\r\n[ShortCuts]\r\nCount=0\r\n");
  EXPECT_TRUE(state.Installed);
  EXPECT_EQ(state.InstallPath, root);
  EXPECT_TRUE(events.finished);
}

TEST_F(InstallEngineTest, SharesFollowTheFileAndThePayloadAndStagesFollowTheSteps) {
  package.AddFile(L"a.bin", 1000001);  // one block and a one-byte piece
  package.AddFile(L"zero.bin", 0);     // moves the overall share, not the file's
  package.AddFile(L"b.bin", 999999);
  package.Write();
  SetupState state = package.State();

  EXPECT_TRUE(RunInstall(state, Choices(), events));

  // 1000000/1000001 of a.bin, its last byte, then b.bin whole; the zero-byte file adds none.
  EXPECT_EQ(events.progress, (std::vector<std::pair<int, int>>{
                                 {1000, 500}, {1000, 500}, {kNoShare, 500}, {1000, 1000}}));
  EXPECT_EQ(events.stages,
            (std::vector<InstallStage>{InstallStage::Preparing, InstallStage::ReadingPackage,
                                       InstallStage::Copying, InstallStage::Shortcuts}));
  EXPECT_EQ(events.files, (std::vector<std::wstring>{L"a.bin", L"zero.bin", L"b.bin"}));
  const std::wstring root = package.InstallFolder();
  EXPECT_EQ(events.Traced(L"written"),
            (std::vector<std::wstring>{L"written " + root + L"\\a.bin 1000001",
                                       L"written " + root + L"\\zero.bin 0",
                                       L"written " + root + L"\\b.bin 999999"}));
}

TEST_F(InstallEngineTest, EmptyPayloadSkipsTheOverallBarAndStillCreatesTheFiles) {
  package.AddFile(L"one.txt", 0);
  package.AddFile(L"sub\\two.txt", 0);
  package.Write();
  SetupState state = package.State();

  EXPECT_TRUE(RunInstall(state, Choices(), events));

  EXPECT_TRUE(FileExists(Installed(L"one.txt")));
  EXPECT_TRUE(FileExists(Installed(L"sub\\two.txt")));
  // Neither file nor data.dat has a share to tell.
  EXPECT_EQ(events.progress,
            (std::vector<std::pair<int, int>>{{kNoShare, kNoShare}, {kNoShare, kNoShare}}));
}

TEST_F(InstallEngineTest, NoFilesStillRecordsAndFinishes) {
  package.Write();
  SetupState state = package.State();
  EXPECT_TRUE(RunInstall(state, Choices(), events));
  EXPECT_EQ(UninstallScriptText(package.InstallFolder()),
            L"[Files]\r\nFileCount=0\r\nProgramName=" + package.programName +
                L"\r\n\r\n[ShortCuts]\r\nCount=0\r\n");
  EXPECT_TRUE(events.finished);
}

TEST_F(InstallEngineTest, ShortPayloadIsRefusedBeforeAnythingIsWritten) {
  package.AddFile(L"first.bin", 3000);
  package.AddFile(L"second.bin", 2500000);
  package.AddFile(L"third.bin", 10);
  package.Write(/*payloadCut=*/20);
  SetupState state = package.State();

  const std::wstring error = InstallError(state, Choices(), events);

  EXPECT_NE(error.find(L"data.dat"), std::wstring::npos) << Narrow(error);
  EXPECT_NE(error.find(L"2502990"), std::wstring::npos) << Narrow(error);
  EXPECT_FALSE(FolderExists(package.InstallFolder()));
  EXPECT_FALSE(state.Installed);
  EXPECT_FALSE(events.finished);
}

TEST_F(InstallEngineTest, FailuresCarryTheSystemWording) {
  package.AddFile(L"a.txt", 5);
  package.Write();

  SetupState empty = package.State();
  EXPECT_EQ(InstallError(empty, {L""}, events), L"Unable to create directory");

  // A folder that cannot be made (a file stands in its way) first fails at Uninst.ini.
  WriteTextFile(package / L"blocker", "x");
  SetupState blocked = package.State();
  const std::wstring blockedFolder = package / L"blocker" + L"\\inner";
  EXPECT_EQ(InstallError(blocked, {blockedFolder}, events)
                .rfind(L"Unable to write to " + blockedFolder + L"\\Uninst.ini", 0),
            0u);

  DeleteFileW((package.Folder() + L"data.dat").c_str());
  SetupState noPayload = package.State();
  EXPECT_EQ(InstallError(noPayload, Choices(), events)
                .rfind(L"Cannot open file \"" + package.Folder() + L"data.dat\". ", 0),
            0u);
  EXPECT_FALSE(FolderExists(package.InstallFolder()))
      << "data.dat is opened before the folder is made";
}

TEST_F(InstallEngineTest, SameProductAgainRewritesItsRecordInPlaceAndDropsWhatItNoLongerShips) {
  const std::wstring shortcutFolder = package / L"links";
  package.AddFile(L"one.txt", 10);
  package.AddFile(L"two.txt", 10);
  package.AddFile(L"three.txt", 10);
  package.AddShortcut({L"One", shortcutFolder, L"%InstallPath%\\one.txt", L"", L""});
  package.AddShortcut({L"Two", shortcutFolder, L"%InstallPath%\\two.txt", L"", L""});
  package.Write();
  SetupState first = package.State();
  EXPECT_TRUE(RunInstall(first, Choices(), events));

  TestPackage smaller;
  smaller.programName = package.programName;
  smaller.AddFile(L"only.txt", 10);
  smaller.Write();
  SetupState second = smaller.State();
  EXPECT_TRUE(RunInstall(second, Choices(), events));

  const std::wstring root = package.InstallFolder();
  // The record lists this install alone; the rows of the earlier one are emptied.
  EXPECT_EQ(UninstallScriptText(root),
            L"[Files]\r\nFileCount=1\r\nProgramName=" + package.programName + L"\r\nFile1=" + root +
                L"\\only.txt\r\nFileSize1=10\r\nFileCrc1=" + CrcKeyText(smaller.contents[0]) +
                L"\r\nFile2=\r\nFileSize2=\r\nFileCrc2=\r\nFile3=\r\nFileSize3=\r\n"
                L"FileCrc3=\r\n\r\n[ShortCuts]\r\nShortCut1=\r\nShortCut2=\r\nCount=0\r\n");
  EXPECT_FALSE(FileExists(root + L"\\Uninst1.ini")) << "the same product keeps one record";
  // What the earlier install wrote and this one does not ship is gone with it.
  for (const wchar_t* name : {L"one.txt", L"two.txt", L"three.txt"})
    EXPECT_FALSE(FileExists(root + L"\\" + name)) << Narrow(name);
  EXPECT_TRUE(FileExists(root + L"\\only.txt"));
  // Without an uninstall entry nothing but the record, which anyone who can
  // write to the install folder may have edited, says the links were the
  // install's; outside the user's own link folders they stay.
  EXPECT_TRUE(FileExists(shortcutFolder + L"\\One.lnk"));
  EXPECT_TRUE(FileExists(shortcutFolder + L"\\Two.lnk"));
}

namespace {
// MVUninst.exe goes to the state's Windows folder: one of the test's own.
class UninstallRegistrationTest : public InstallEngineTest {
 protected:
  void SetUp() override {
    CreateDirectoryW(windows.c_str(), nullptr);
    package.windowsFolder = windows;
  }
  std::wstring windows = package / L"windows";
};
}  // namespace

TEST_F(UninstallRegistrationTest, WithoutUninstallNeitherTheWindowsFolderNorTheRegistryIsTouched) {
  package.useUninstall = false;
  package.Write();
  SetupState state = package.State();

  EXPECT_TRUE(RunInstall(state, Choices(), events));

  EXPECT_FALSE(FileExists(windows + L"\\MVUninst.exe"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallRegistryKey(state.ProgramName)));
  EXPECT_TRUE(FileExists(package.InstallFolder() + L"\\Uninst.ini"));
}

TEST_F(UninstallRegistrationTest, UninstallerIsPlacedAndRegisteredWithTheExactTexts) {
  package.programName = UniqueProgramName(L"Программа Ковёр");
  package.useUninstall = true;
  package.AddFile(L"prog.exe", 100);
  package.Write();
  SetupState state = package.State();

  EXPECT_TRUE(RunInstall(state, Choices(), events));

  const std::wstring key = UninstallRegistryKey(state.ProgramName);
  EXPECT_EQ(ReadFileBytes(windows + L"\\MVUninst.exe"), "uninstaller image");
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, key, L"DisplayName"), state.ProgramName);
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, key, L"DisplayIcon"),
            L"\"" + windows + L"\\MVUninst.exe\",0");
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, key, L"UninstallString"),
            windows + L"\\MVUninst.exe \"" + package.InstallFolder() + L"\\Uninst.ini\" \"" +
                state.ProgramName + L"\"");
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
}

TEST_F(InstallEngineTest, FinishPageShowsTheBoxesTheScriptAllows) {
  package.Write();
  SetupState state = package.State();
  state.UseGoSite = true;
  state.UseRun = true;
  state.UseReboot = true;
  state.AskToReboot = true;  // asked when "Готово" is pressed, so no box
  EXPECT_TRUE(RunInstall(state, Choices(), events));
  EXPECT_TRUE(events.boxes.GoSite);
  EXPECT_TRUE(events.boxes.Run);
  EXPECT_FALSE(events.boxes.Reboot);

  SetupState plain = package.State();
  plain.UseReboot = true;
  RecordingEvents second;
  EXPECT_TRUE(RunInstall(plain, Choices(), second));
  EXPECT_FALSE(second.boxes.GoSite);
  EXPECT_FALSE(second.boxes.Run);
  EXPECT_TRUE(second.boxes.Reboot);
}

// While its files are written a folder cannot be moved away and replaced; a
// folder someone else holds open for deletion is still installed into, each
// file then looked at on its whole way down.
TEST_F(InstallEngineTest, AFolderBeingFilledCannotBeMovedAndOneHeldElsewhereStillFills) {
  package.AddFile(L"docs\\a.txt", 10);
  package.AddFile(L"docs\\b.txt", 20);
  package.AddFile(L"held\\c.txt", 30);
  package.AddFile(L"held\\d.txt", 40);
  package.Write();
  const std::wstring held = Installed(L"held");
  ForceFolder(held);
  const FileHandle elsewhere(CreateFileW(held.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                         nullptr));
  ASSERT_TRUE(elsewhere.Valid());
  bool moved = true;
  events.onFileStarted = [&](int32_t row) {
    if (row == 2)
      moved = MoveFileW(Installed(L"docs").c_str(), Installed(L"docs.old").c_str()) != FALSE;
  };
  SetupState state = package.State();

  EXPECT_TRUE(RunInstall(state, Choices(), events));

  EXPECT_FALSE(moved);
  const wchar_t* names[] = {L"docs\\a.txt", L"docs\\b.txt", L"held\\c.txt", L"held\\d.txt"};
  for (int n = 0; n < 4; ++n)
    EXPECT_EQ(ReadFileBytes(Installed(names[n])), package.contents[n]) << n;
  EXPECT_TRUE(events.finished);
}
