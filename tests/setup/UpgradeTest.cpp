#include <gtest/gtest.h>

#include <list>

#include "InstallFixtures.h"
#include "formats/UninstallEntry.h"
#include "formats/UninstallRecord.h"
#include "setup/ExitCodes.h"
#include "setup/InstallEngine.h"
#include "setup/UpgradeCheck.h"
#include "support/ComScope.h"
#include "support/FileSystem.h"

namespace {
constexpr wchar_t kCode[] = L"{0E5C6F0A-3B7D-4C1E-9A8B-5D2F4E6A7C90}";
constexpr wchar_t kOtherCode[] = L"{11111111-2222-3333-4444-555555555555}";

// Versions of one product, each a package of its own, installed with the
// uninstaller in a Windows folder of the test's and links in its own folder.
class UpgradeTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateDirectoryW(windows.c_str(), nullptr); }
  void TearDown() override {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name).c_str());
  }

  // A package of `files` (10 bytes each) and one link per name in `links`.
  TestPackage& Version(std::initializer_list<const wchar_t*> files,
                       std::initializer_list<const wchar_t*> links = {}) {
    TestPackage& package = packages.emplace_back();
    package.programName = name;
    package.useUninstall = true;
    package.withChecksums = true;
    for (const wchar_t* file : files) package.AddFile(file, 10);
    for (const wchar_t* link : links)
      package.AddShortcut({link, linkFolder, L"%InstallPath%\\keep.txt", L"", L""});
    package.Write();
    return package;
  }

  // Installs `package` as version `version` with ProductCode `code` into `folder`.
  Status TryInstall(const TestPackage& package, const wchar_t* version, const wchar_t* code,
                    const std::wstring& folder, bool allowDowngrade, SetupState& state) {
    state = package.State();
    state.ProductVersion = version;
    state.ProductCode = code;
    InstallChoices choices{folder};
    choices.AllowDowngrade = allowDowngrade;
    return RunInstall(state, choices, events);
  }
  SetupState Install(const TestPackage& package, const wchar_t* version, const wchar_t* code,
                     const std::wstring& folder, bool allowDowngrade = false) {
    SetupState state;
    const Status installed = TryInstall(package, version, code, folder, allowDowngrade, state);
    EXPECT_TRUE(installed) << Narrow(installed.Error().Message());
    return state;
  }
  // The kind of failure the install ends with; Error when it went through.
  FailureKind FailedAs(const TestPackage& package, const wchar_t* version, const wchar_t* code,
                       const std::wstring& folder) {
    SetupState state;
    const Status installed = TryInstall(package, version, code, folder, false, state);
    EXPECT_FALSE(installed) << "the install went through";
    return installed ? FailureKind::Error : installed.Error().Kind();
  }

  std::wstring Registered(const wchar_t* value) const {
    return ReadRegText(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name), value);
  }

  ComScope com;
  std::wstring name = UniqueProgramName(L"Ковёр обновляемый");
  std::list<TestPackage> packages;
  TempDir root;
  std::wstring target = root / L"app";
  std::wstring windows = root / L"windows";
  std::wstring linkFolder = root / L"links";
  ScopedEnv systemRoot{L"SystemRoot", windows};
  RecordingEvents events;
};
}  // namespace

// The new version in the same folder: what it no longer ships goes when it is
// unchanged, a file the user changed stays and is reported, and a file another
// product's record lists stays silently.
TEST_F(UpgradeTest, InPlaceRemovesUnchangedOrphansAndKeepsChangedAndSharedFiles) {
  Install(
      Version({L"keep.txt", L"old.txt", L"sub\\edited.txt", L"shared.txt"}, {L"Kept", L"Dropped"}),
      L"1.0", kCode, target);
  WriteTextFile(target + L"\\sub\\edited.txt", "the user's own words");
  WriteTextFile(target + L"\\Uninst1.ini",
                "[Files]\r\nProgramName=Another\r\nFile1=" + Narrow(target) + "\\shared.txt\r\n");

  const SetupState second =
      Install(Version({L"keep.txt", L"new.txt"}, {L"Kept"}), L"2.0", kCode, target);

  EXPECT_TRUE(FileExists(target + L"\\keep.txt"));
  EXPECT_TRUE(FileExists(target + L"\\new.txt"));
  EXPECT_FALSE(FileExists(target + L"\\old.txt"));
  EXPECT_EQ(ReadFileBytes(target + L"\\sub\\edited.txt"), "the user's own words");
  EXPECT_TRUE(FileExists(target + L"\\shared.txt")) << "another product's record lists it";
  EXPECT_TRUE(FileExists(linkFolder + L"\\Kept.lnk"));
  EXPECT_FALSE(FileExists(linkFolder + L"\\Dropped.lnk"));
  EXPECT_EQ(second.KeptFromPrevious, std::vector<std::wstring>{target + L"\\sub\\edited.txt"});
  EXPECT_EQ(events.Traced(L"kept"),
            std::vector<std::wstring>{L"kept " + target + L"\\sub\\edited.txt 1"});

  const std::wstring record = UninstallScriptText(target);
  for (const wchar_t* gone : {L"old.txt", L"edited.txt", L"shared.txt", L"Dropped.lnk"})
    EXPECT_EQ(record.find(gone), std::wstring::npos) << Narrow(gone) << "\n" << Narrow(record);
  EXPECT_NE(record.find(L"File2=" + target + L"\\new.txt"), std::wstring::npos);
  EXPECT_EQ(Registered(uninstall::kDisplayVersion), L"2.0");
  EXPECT_EQ(Registered(uninstall::kProductCode), kCode);
}

// The new version in another folder: the earlier install goes from its folder
// only once the new one has succeeded, and one entry names the new folder.
TEST_F(UpgradeTest, AnotherFolderRemovesTheEarlierInstallOnlyAfterTheNewOneSucceeded) {
  Install(Version({L"keep.txt", L"old.txt", L"lib\\a.txt"}, {L"Kept"}), L"1.0", kCode, target);
  const std::wstring elsewhere = root / L"elsewhere";
  const TestPackage& next = Version({L"keep.txt", L"new.txt"}, {L"Kept"});

  events.cancelAtFile = 2;  // a stopped install leaves the earlier one as it was
  EXPECT_EQ(FailedAs(next, L"2.0", kCode, elsewhere), FailureKind::Stopped);
  EXPECT_EQ(TreeOf(target).size(), 5u) << "keep, old, lib, lib\\a and the record";
  EXPECT_EQ(Registered(uninstall::kInstallLocation), target);

  events.cancelAtFile = 0;
  Install(next, L"2.0", kCode, elsewhere);
  EXPECT_FALSE(FolderExists(target)) << "files, sub-folder, record and folder all go";
  EXPECT_TRUE(FileExists(elsewhere + L"\\new.txt"));
  EXPECT_TRUE(FileExists(linkFolder + L"\\Kept.lnk")) << "the new version's link of that name";
  EXPECT_EQ(Registered(uninstall::kInstallLocation), elsewhere);
  EXPECT_NE(Registered(uninstall::kUninstallString).find(elsewhere + L"\\Uninst.ini"),
            std::wstring::npos);
}

// Nothing is written when the package may not go over what is installed.
TEST_F(UpgradeTest, RefusesAnOlderVersionAndAnotherProductBeforeWritingAnything) {
  Install(Version({L"keep.txt", L"new.txt"}), L"2.0", kCode, target);
  const std::vector<std::wstring> installed = TreeOf(target);
  const std::string record = ReadFileBytes(target + L"\\Uninst.ini");
  const TestPackage& older = Version({L"keep.txt", L"old.txt"});

  const struct {
    const wchar_t* version;
    const wchar_t* code;
    int exitCode;
  } refused[] = {{L"1.9", kCode, kExitDowngrade},
                 {L"1.10", kCode, kExitDowngrade},  // 1.10 is above 1.9, yet below 2.0
                 {L"3.0", kOtherCode, kExitOtherProduct}};
  for (const auto& [version, code, exitCode] : refused) {
    EXPECT_EQ(FailedAs(older, version, code, target), FailureKind::Refused) << Narrow(version);
    EXPECT_EQ(events.failedCode, exitCode) << Narrow(version);
    EXPECT_EQ(TreeOf(target), installed);
    EXPECT_EQ(ReadFileBytes(target + L"\\Uninst.ini"), record);
    EXPECT_EQ(Registered(uninstall::kDisplayVersion), L"2.0");
  }

  // A version that cannot be placed, and a package without a code, go through.
  Install(older, L"beta", L"", target);
  EXPECT_EQ(Registered(uninstall::kDisplayVersion), L"beta");
  EXPECT_EQ(Registered(uninstall::kProductCode), L"<no value>");
  Install(Version({L"keep.txt", L"new.txt"}), L"2.0", kCode, target);
  Install(older, L"1.0", kCode, target, true);  // /ALLOWDOWNGRADE
  EXPECT_EQ(Registered(uninstall::kDisplayVersion), L"1.0");
  EXPECT_TRUE(FileExists(target + L"\\old.txt"));
  EXPECT_FALSE(FileExists(target + L"\\new.txt"));
}

// The same version again is a repair: every file is written again.
TEST_F(UpgradeTest, TheSameVersionAgainPutsBackMissingAndChangedFiles) {
  const TestPackage& package = Version({L"a.txt", L"b.txt"});
  Install(package, L"2.0", kCode, target);
  DeleteFileW((target + L"\\a.txt").c_str());
  WriteTextFile(target + L"\\b.txt", "damaged");
  Install(package, L"2.0", kCode, target);
  EXPECT_EQ(ReadFileBytes(target + L"\\a.txt"), package.contents[0]);
  EXPECT_EQ(ReadFileBytes(target + L"\\b.txt"), package.contents[1]);
}
