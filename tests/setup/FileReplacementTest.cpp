// An install over an earlier one replaces its files only through checked copies
// beside them: a failure at any point leaves the earlier install byte for byte as
// it was, a file that another program holds open is asked about (or replaced at
// the next restart), and a file the install did not create is never deleted.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "InstallFixtures.h"
#include "formats/UninstallRecord.h"
#include "setup/ExitCodes.h"
#include "setup/FileInUse.h"
#include "setup/InstallJournal.h"
#include "support/Error.h"
#include "support/Handle.h"

namespace {
// Every file below `folder` with its bytes.
std::map<std::wstring, std::string> FilesOf(const std::wstring& folder) {
  std::map<std::wstring, std::string> files;
  for (const std::wstring& name : TreeOf(folder))
    if (FileExists(folder + L"\\" + name))
      files[name] = ReadFileBytes(folder + L"\\" + name);
  return files;
}

FileHandle HoldWithoutDeleteSharing(const std::wstring& path) {
  return FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
}

class FileReplacementTest : public RegisteredInstallTest {
 protected:
  // Version 1 installed and registered: keep.txt, old.txt, app.txt, and a file of
  // the user's beside them.
  void SetUp() override {
    RegisteredInstallTest::SetUp();
    first.programName = UniqueProgramName(L"Upgrade");
    first.withChecksums = true;
    first.AddFile(L"keep.txt", 10);
    first.AddFile(L"old.txt", 20);
    first.AddFile(L"app.txt", 30);
    InstallRegistered(first, root);
    WriteTextFile(root + L"\\notes.txt", "the user's own notes");
    before = FilesOf(root);
    for (const wchar_t* name :
         {uninstall::kDisplayName, uninstall::kDisplayIcon, uninstall::kUninstallString})
      entryBefore[name] = ReadRegText(HKEY_LOCAL_MACHINE, Key(), name);
  }

  // Version 2 of the same product: keep.txt, new.txt, a longer app.txt and,
  // last, notes.txt where the user's file lies.
  void WriteSecond() {
    second.programName = first.programName;
    second.withChecksums = true;
    second.useUninstall = true;
    second.AddFile(L"keep.txt", 10);
    second.AddFile(L"new.txt", 40);
    second.AddFile(L"app.txt", 50);
    second.AddFile(L"notes.txt", 2500000);
    second.Write();
  }
  std::wstring Key() const { return UninstallRegistryKey(first.programName); }

  void ExpectFirstVersionAsItWas(const char* what) {
    EXPECT_EQ(FilesOf(root), before) << what;
    for (const auto& [name, value] : entryBefore)
      EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, Key(), name.c_str()), value)
          << what << " " << Narrow(name);
  }

  TestPackage first, second;
  std::wstring root = shared + L"\\Product";
  std::map<std::wstring, std::string> before;
  std::map<std::wstring, std::wstring> entryBefore;
  RecordingEvents events;
};
}  // namespace

// The last file fails its checksum, is stopped while it is written, or cannot be written:
// every file, the record and the registry values are as before, the user's
// file at a target path included, and nothing is left beside them.
TEST_F(FileReplacementTest, AFailedUpgradeLeavesTheEarlierVersionByteForByte) {
  WriteSecond();
  std::string payload = ReadFileBytes(second.Folder() + L"data.dat");
  const std::string intact = payload;
  payload[payload.size() - 100] ^= 0x01;
  second.WritePayload(payload);
  SetupState damaged = second.State();
  const std::wstring error = InstallError(damaged, {root}, events);
  EXPECT_NE(error.find(L"notes.txt"), std::wstring::npos) << Narrow(error);
  EXPECT_EQ(events.failedCode, kExitBadPackage);
  ExpectFirstVersionAsItWas("checksum");

  // Stopped while the last file is being written.
  second.WritePayload(intact);
  SetupState stopped = second.State();
  RecordingEvents midway;
  midway.onProgress = [&] {
    if (midway.files.size() == 4 && midway.progress.size() > 5)
      midway.cancelAtFile = 4;
  };
  EXPECT_EQ(InstallError(stopped, {root}, midway).rfind(kInstallStopped, 0), 0u);
  EXPECT_EQ(midway.failedCode, kExitCancelled);
  ExpectFirstVersionAsItWas("stopped midway");

  // The last target cannot be written once its turn comes (made read-only then).
  const std::wstring notes = root + L"\\notes.txt";
  SetupState refused = second.State();
  RecordingEvents readOnly;
  readOnly.onFileStarted = [&](int32_t row) {
    if (row == 4)
      SetFileAttributesW(notes.c_str(), FILE_ATTRIBUTE_READONLY);
  };
  const std::wstring error2 = InstallError(refused, {root}, readOnly);
  EXPECT_EQ(error2,
            SystemErrorMessage(L"Cannot create file \"" + notes + L"\"", ERROR_ACCESS_DENIED))
      << Narrow(error2);
  EXPECT_EQ(readOnly.failedCode, kExitCannotWrite);
  SetFileAttributesW(notes.c_str(), FILE_ATTRIBUTE_NORMAL);
  ExpectFirstVersionAsItWas("a target refused midway");
}

TEST_F(FileReplacementTest, ASuccessfulUpgradeLeavesOnlyTheNewFiles) {
  WriteSecond();
  SetupState state = second.State();
  ASSERT_EQ(InstallError(state, {root}, events), L"");
  EXPECT_EQ(ReadFileBytes(root + L"\\app.txt"), second.contents[2]);
  EXPECT_EQ(ReadFileBytes(root + L"\\notes.txt"), second.contents[3]);
  for (const std::wstring& name : TreeOf(root))
    EXPECT_EQ(name.find(L"kovrin-tmp"), std::wstring::npos) << Narrow(name);
  EXPECT_FALSE(state.RestartToFinish);
  EXPECT_FALSE(events.boxes.RestartToFinish);
}

// Held open without delete sharing, app.txt cannot be moved aside: a silent run
// (nobody to answer) stops with the in-use code and changes nothing; Retry goes
// on once the holder lets go.
TEST_F(FileReplacementTest, AFileInUseStopsTheUpgradeOrIsRetried) {
  WriteSecond();
  const std::wstring app = root + L"\\app.txt";
  FileHandle holder = HoldWithoutDeleteSharing(app);
  ASSERT_TRUE(holder);
  SetupState silent = second.State();
  const Status installed = RunInstall(silent, {root}, events);
  ASSERT_FALSE(installed) << "the install went on over a file in use";
  EXPECT_TRUE(installed.Error().Is(FailureKind::FileInUse));
  EXPECT_NE(installed.Error().Message().find(app), std::wstring::npos)
      << Narrow(installed.Error().Message());
  EXPECT_EQ(events.inUse, std::vector<std::wstring>{app});
  EXPECT_EQ(events.failedCode, kExitFileInUse);
  holder.Reset();
  ExpectFirstVersionAsItWas("in use, cancelled");

  holder = HoldWithoutDeleteSharing(app);
  SetupState retried = second.State();
  RecordingEvents answered;
  answered.onFileInUse = [&](const std::wstring&) {
    holder.Reset();  // the user closed the program
    return InUseAnswer::Retry;
  };
  ASSERT_EQ(InstallError(retried, {root}, answered), L"");
  EXPECT_EQ(answered.inUse.size(), 1u);
  EXPECT_EQ(ReadFileBytes(app), second.contents[2]);
}

// With the restart allowed, the new file waits beside the held one and Windows
// is asked to rename it at the restart; a take-back deletes it, so the rename
// then finds nothing.
TEST_F(FileReplacementTest, AFileInUseIsReplacedAtTheRestartWhenAllowed) {
  ScopedPendingRenames pending;
  WriteSecond();
  const std::wstring app = root + L"\\app.txt";
  FileHandle holder = HoldWithoutDeleteSharing(app);
  ASSERT_TRUE(holder);
  SetupState state = second.State();
  InstallChoices choices{root};
  choices.ReplaceInUseAtRestart = true;

  ASSERT_EQ(InstallError(state, choices, events), L"");

  EXPECT_TRUE(events.inUse.empty()) << "nothing to ask";
  EXPECT_TRUE(state.RestartToFinish);
  EXPECT_TRUE(events.boxes.RestartToFinish);
  EXPECT_TRUE(events.boxes.Reboot);
  EXPECT_EQ(ReadFileBytes(app), before[L"app.txt"]);
  const auto renames = PendingFileRenames();
  const auto scheduled = std::find_if(renames.begin(), renames.end(),
                                      [&](const auto& pair) { return pair.second == app; });
  ASSERT_NE(scheduled, renames.end());
  EXPECT_EQ(ReadFileBytes(scheduled->first), second.contents[2]);
  EXPECT_EQ(ReadFileBytes(root + L"\\new.txt"), second.contents[1]);

  // The same once more, failing at its last file: the staged copy goes again.
  holder.Reset();
  DeleteFileW(scheduled->first.c_str());
  holder = HoldWithoutDeleteSharing(app);
  std::string payload = ReadFileBytes(second.Folder() + L"data.dat");
  payload[payload.size() - 1] ^= 0x01;
  second.WritePayload(payload);
  SetupState failing = second.State();
  RecordingEvents seen;
  EXPECT_NE(InstallError(failing, choices, seen), L"");
  for (const std::wstring& name : TreeOf(root))
    EXPECT_EQ(name.find(L"kovrin-tmp"), std::wstring::npos) << Narrow(name);
}

// A link an earlier version made is saved over in place; a take-back puts the
// earlier one back and a commit leaves no copy beside it.
TEST(InstallJournalLinks, AnEarlierLinkComesBackWhenTheInstallIsTakenBack) {
  TempDir links;
  const std::wstring link = links / L"Демо.lnk";
  WriteTextFile(link, "earlier link");
  {
    InstallJournal journal;
    EXPECT_TRUE(journal.BeforeCreating(link));
    WriteTextFile(link, "newer link");
    EXPECT_TRUE(journal.TakeBack().empty());
  }
  EXPECT_EQ(ReadFileBytes(link), "earlier link");
  EXPECT_EQ(TreeOf(links.Path()), std::vector<std::wstring>{L"Демо.lnk"});

  InstallJournal journal;
  EXPECT_TRUE(journal.BeforeCreating(link));
  WriteTextFile(link, "newer link");
  journal.Commit();
  EXPECT_EQ(ReadFileBytes(link), "newer link");
  EXPECT_EQ(TreeOf(links.Path()), std::vector<std::wstring>{L"Демо.lnk"});
}
