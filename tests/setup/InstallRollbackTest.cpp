// A failed or stopped install takes back what it made: its files, links and
// folders, its record and its registry entry, never what was there before it.

#include <gtest/gtest.h>

#include <algorithm>

#include "InstallFixtures.h"
#include "formats/UninstallRecord.h"
#include "setup/ExitCodes.h"
#include "support/ComScope.h"
#include "support/Error.h"
#include "support/Handle.h"

namespace {
class InstallRollbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(windows.c_str(), nullptr);
    package.windowsFolder = windows;
  }
  void TearDown() override {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallRegistryKey(package.programName).c_str());
  }

  ComScope com;
  TestPackage package;
  RecordingEvents events;
  std::wstring windows = package / L"windows";
  std::wstring root = package.InstallFolder();
};
}  // namespace

TEST_F(InstallRollbackTest, AReadOnlyTargetStopsTheInstallAndOnlyWhatWasThereBeforeStays) {
  ForceFolder(root);
  WriteTextFile(root + L"\\notes.txt", "the user's");
  WriteTextFile(root + L"\\c.txt", "older, read-only");
  SetFileAttributesW((root + L"\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  package.AddFile(L"a.txt", 10);
  package.AddFile(L"sub\\deeper\\b.txt", 10);
  package.AddFile(L"c.txt", 10);
  package.Write();
  SetupState state = package.State();

  const std::wstring error = InstallError(state, {root}, events);

  EXPECT_EQ(error.rfind(L"Cannot create file \"" + root + L"\\c.txt\"", 0), 0u) << Narrow(error);
  EXPECT_EQ(TreeOf(root), (std::vector<std::wstring>{L"c.txt", L"notes.txt"}));
  EXPECT_EQ(ReadFileBytes(root + L"\\c.txt"), "older, read-only");
  SetFileAttributesW((root + L"\\c.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(state.Installed);
}

TEST_F(InstallRollbackTest, StoppingDuringTheCopyLeavesNothingBehind) {
  package.AddFile(L"a.txt", 10);
  package.AddFile(L"sub\\b.bin", 2500000);
  package.AddFile(L"c.txt", 10);
  package.AddShortcut({L"Link", package / L"links", L"%InstallPath%\\a.txt", L"", L""});
  package.useUninstall = true;
  package.Write();
  SetupState state = package.State();
  events.cancelAtFile = 2;

  const std::wstring error = InstallError(state, {root}, events);

  EXPECT_NE(error, L"");
  EXPECT_FALSE(FolderExists(root));
  EXPECT_FALSE(FolderExists(package / L"links"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallRegistryKey(state.ProgramName)));
  EXPECT_FALSE(events.finished);
}

// A stop stays a stop when something cannot be taken back: that is added to its
// text and named in the state, and the exit code is still the user's.
TEST_F(InstallRollbackTest, AStopThatCannotTakeEverythingBackIsStillAStop) {
  package.AddFile(L"a.txt", 10);
  package.AddFile(L"b.txt", 10);
  package.Write();
  SetupState state = package.State();
  const std::wstring held = root + L"\\a.txt";
  FileHandle holder;  // open without FILE_SHARE_DELETE: a.txt cannot be removed
  events.cancelAtFile = 2;
  events.onFileStarted = [&](int32_t row) {
    if (row == 2)
      holder.Reset(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr));
  };

  const Status installed = RunInstall(state, {root}, events);
  ASSERT_FALSE(installed) << "the install was not stopped";
  const Failure& stopped = installed.Error();
  EXPECT_TRUE(stopped.Is(FailureKind::Stopped)) << "a stop stays a stop with what is left added";
  EXPECT_EQ(
      stopped.Message().rfind(std::wstring(kInstallStopped) + L"\r\n\r\nНе удалось удалить:", 0),
      0u)
      << Narrow(stopped.Message());
  EXPECT_NE(stopped.Message().find(held), std::wstring::npos) << Narrow(stopped.Message());
  ASSERT_TRUE(holder);
  EXPECT_NE(std::find(state.LeftBehind.begin(), state.LeftBehind.end(), held),
            state.LeftBehind.end());
  EXPECT_EQ(events.failedCode, kExitCancelled);
  EXPECT_FALSE(FileExists(root + L"\\b.txt"));
}

TEST_F(InstallRollbackTest, AFailedReinstallPutsTheEarlierRecordBack) {
  package.AddFile(L"a.txt", 10);
  package.AddFile(L"b.txt", 10);
  package.Write();
  SetupState first = package.State();
  ASSERT_EQ(InstallError(first, {root}, events), L"");
  const std::string record = ReadFileBytes(root + L"\\Uninst.ini");

  // The same product again, now with a third file that cannot be written.
  TestPackage again;
  again.programName = package.programName;
  again.AddFile(L"a.txt", 20);
  again.AddFile(L"new.txt", 20);
  again.AddFile(L"blocked\\c.txt", 20);
  again.Write();
  WriteTextFile(root + L"\\blocked", "a file where a folder must go");
  SetupState second = again.State();
  RecordingEvents seen;

  EXPECT_NE(InstallError(second, {root}, seen), L"");

  EXPECT_EQ(ReadFileBytes(root + L"\\Uninst.ini"), record);
  EXPECT_FALSE(FileExists(root + L"\\new.txt"));
  EXPECT_TRUE(FileExists(root + L"\\a.txt")) << "it was there before this install";
  EXPECT_TRUE(FileExists(root + L"\\b.txt"));
}
