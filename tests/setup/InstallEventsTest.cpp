// What an install tells its events, in order: the window's pages and the install
// log are built on this record.

#include <gtest/gtest.h>

#include "InstallFixtures.h"
#include "formats/UninstallRecord.h"
#include "setup/ExitCodes.h"
#include "setup/InstallEngine.h"

namespace {
class InstallEventsTest : public RegisteredInstallTest {
 protected:
  std::wstring root = dir / L"target";
};
}  // namespace

TEST_F(InstallEventsTest, OneInstallTellsEachStepFileLinkAndTheFinishInOrder) {
  TestPackage package;
  package.programName = UniqueProgramName(L"События");
  package.useUninstall = true;
  package.AddFile(L"a.txt", 300);
  package.AddFile(L"sub\\b.bin", 700);
  package.AddShortcut({L"Ссылка", dir / L"links", L"%InstallPath%\\a.txt", L"", L""});
  package.Write();
  registered.push_back(package.programName);
  SetupState state = StateOf(package);
  state.UseGoSite = true;
  state.UseReboot = true;
  RecordingEvents events;

  ASSERT_EQ(InstallError(state, {root}, events), L"");

  const std::wstring key = UninstallRegistryKey(package.programName);
  EXPECT_EQ(
      events.trace,
      (std::vector<std::wstring>{
          L"stage 0", L"stage 1", L"stage 2", L"file 1 a.txt", L"progress 1000 300",
          L"written " + root + L"\\a.txt 300", L"file 2 sub\\b.bin", L"progress 1000 1000",
          L"written " + root + L"\\sub\\b.bin 700", L"stage 3",
          L"link " + (dir / L"links\\Ссылка.lnk") + L" 1",
          L"uninstaller " + windows + L"\\MVUninst.exe", L"entry " + key, L"finished 1 0 1"}));
  EXPECT_EQ(events.failedCode, -1);
}

TEST_F(InstallEventsTest, AStopOrAFailureIsToldOnceWithItsExitCodeAndNoFinish) {
  struct Case {
    const char* what;
    int64_t payloadCut;
    int cancelAtFile;
    std::wstring folder;
    int exitCode;
  };
  WriteTextFile(dir / L"blocker", "a file where a folder must go");
  const Case cases[] = {
      {"stopped at the second file", 0, 2, root, kExitCancelled},
      {"payload short of the rows", 5, 0, root, kExitBadPackage},
      {"folder that cannot be made", 0, 0, dir / L"blocker\\inner", kExitCannotWrite},
  };
  for (const Case& c : cases) {
    TestPackage package;
    package.AddFile(L"a.txt", 10);
    package.AddFile(L"b.txt", 10);
    package.Write(c.payloadCut);
    SetupState state = StateOf(package);
    RecordingEvents events;
    events.cancelAtFile = c.cancelAtFile;

    const std::wstring error = InstallError(state, {c.folder}, events);

    ASSERT_NE(error, L"") << c.what;
    EXPECT_EQ(events.failedCode, c.exitCode) << c.what;
    EXPECT_EQ(events.Traced(L"failed"),
              std::vector<std::wstring>{L"failed " + std::to_wstring(c.exitCode) + L" " + error})
        << c.what;
    EXPECT_EQ(events.trace.back().rfind(L"failed ", 0), 0u) << c.what << ": told last";
    EXPECT_FALSE(events.finished) << c.what;
  }
}
