#include <gtest/gtest.h>

#include <optional>

#include "InstallFixtures.h"
#include "formats/ScriptKeys.h"
#include "formats/UninstallEntry.h"
#include "formats/UninstallRecord.h"
#include "setup/ExitCodes.h"
#include "setup/InstallLog.h"
#include "setup/SilentInstall.h"
#include "support/ComScope.h"
#include "support/ProfileFile.h"
#include "support/QRegistry.h"

namespace {
std::optional<DWORD> ReadRegDword(const std::wstring& keyPath, const wchar_t* name) {
  return RegistryKey::Open(HKEY_LOCAL_MACHINE, keyPath).ReadNumber(name);
}

std::wstring Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return InstallDateText(now.wYear, now.wMonth, now.wDay);
}

// A package whose links go to folders of the test's own, and whose uninstaller
// goes to a Windows folder of its own.
class SilentInstallTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateDirectoryW(windows.c_str(), nullptr); }
  void TearDown() override {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallRegistryKey(package.programName).c_str());
  }

  // Main-section keys the test package does not write itself.
  void AddMainKeys(const std::wstring& version, const std::wstring& installPath) {
    const std::wstring path = package.Folder() + script::kScriptFile;
    ProfileFile script = ProfileFile::Load(path);
    if (!version.empty())
      script.WriteString(script::kMain, script::kProductVersion, version);
    script.WriteString(script::kMain, script::kCompanyName, L"Ковёр и сыновья");
    script.WriteString(script::kMain, script::kInstallPath, installPath);
    script.Save(path);
  }

  SilentOutcome Install(const std::wstring& arguments) {
    InstallLog log(LogFile::Create(logPath));
    return RunSilentInstall(package.Folder(), ParseSetupArguments(arguments), log, windows);
  }
  std::string Log() const { return ReadFileBytes(logPath); }
  std::wstring Key() const { return UninstallRegistryKey(package.programName); }

  ComScope com;
  TestPackage package;
  std::wstring windows = package / L"windows";
  std::wstring logPath = package / L"setup.log";
  // Whoever starts the program sets the environment: it never chooses the folder.
  ScopedEnv systemRoot{L"SystemRoot", package / L"planted"};
  ScopedEnv desktop{L"Desktop", package / L"desk"};
  ScopedEnv startMenu{L"StartMenu", package / L"menu"};
  ScopedEnv startup{L"AutoLoading", package / L"auto"};
};
}  // namespace

TEST_F(SilentInstallTest, InstallsIntoTheFolderOfTheSwitchWithEveryLinkAndACompleteEntry) {
  package.programName = UniqueProgramName(L"Ковёр тихий");
  package.useUninstall = true;
  package.AddFile(L"bin\\Ковёр.exe", 3000);
  package.AddFile(L"readme.txt", 1025);
  package.AddShortcut({L"На столе", L"%Desktop%", L"%InstallPath%\\bin\\Ковёр.exe", L"", L""});
  package.AddShortcut(
      {L"В меню", L"%StartMenu%\\Ковёр", L"%InstallPath%\\bin\\Ковёр.exe", L"", L""});
  package.AddShortcut({L"Сам", L"%AutoLoading%", L"%InstallPath%\\bin\\Ковёр.exe", L"", L""});
  package.Write();
  AddMainKeys(L"3.2 бета", package / L"не сюда");
  const std::wstring folder = package / L"Мои программы\\Ковёр 3";

  const SilentOutcome outcome = Install(L"/S /D=" + folder);

  ASSERT_EQ(outcome.ExitCode, kExitInstalled) << Narrow(outcome.Reason);
  EXPECT_EQ(ReadFileBytes(folder + L"\\bin\\Ковёр.exe"), package.contents[0]);
  EXPECT_EQ(ReadFileBytes(folder + L"\\readme.txt"), package.contents[1]);
  EXPECT_FALSE(FolderExists(package / L"не сюда"));
  // Nobody is there to untick a box: every link of the script is made.
  const std::wstring links[] = {package / L"desk\\На столе.lnk",
                                package / L"menu\\Ковёр\\В меню.lnk", package / L"auto\\Сам.lnk"};
  for (const std::wstring& link : links) EXPECT_TRUE(FileExists(link)) << Narrow(link);
  const std::wstring record = UninstallScriptText(folder);
  EXPECT_NE(record.find(L"Count=3"), std::wstring::npos) << Narrow(record);

  const std::wstring key = Key();
  const std::wstring registered = ReadRegText(HKEY_LOCAL_MACHINE, key, L"UninstallString");
  EXPECT_EQ(registered, windows + L"\\MVUninst.exe \"" + folder + L"\\Uninst.ini\" \"" +
                            package.programName + L"\"");
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, key, L"DisplayName"), package.programName);
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, key, L"DisplayVersion"), L"3.2 бета");
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, key, L"Publisher"), L"Ковёр и сыновья");
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, key, L"InstallLocation"), folder);
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, key, L"InstallDate"), Today());
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, key, L"QuietUninstallString"), registered + L" /S");
  EXPECT_EQ(ReadRegDword(key, L"EstimatedSize"), 4u);  // 4025 bytes
  EXPECT_EQ(ReadRegDword(key, L"NoModify"), 1u);
  EXPECT_EQ(ReadRegDword(key, L"NoRepair"), 1u);
}

TEST_F(SilentInstallTest, WithoutTheSwitchTheScriptsFolderIsUsedAndNoVersionIsRegistered) {
  package.useUninstall = true;
  package.AddFile(L"a.bin", 10);
  package.Write();
  AddMainKeys(L"1.0", package / L"%CompanyName%");
  ASSERT_EQ(Install(L"/S").ExitCode, kExitInstalled);
  EXPECT_TRUE(FileExists(package / L"Ковёр и сыновья\\a.bin"));
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, Key(), L"DisplayVersion"), L"1.0");
  EXPECT_EQ(ReadRegDword(Key(), L"EstimatedSize"), 1u);

  // A later package without a version leaves no stale one behind.
  package.Write();
  AddMainKeys(L"", package / L"%CompanyName%");
  ASSERT_EQ(Install(L"/S").ExitCode, kExitInstalled);
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, Key(), L"DisplayVersion"), L"<no value>");
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, Key(), L"Publisher"), L"Ковёр и сыновья");
}

TEST_F(SilentInstallTest, ABadPackageIsRefusedWithCodeTwoBeforeAnythingIsWritten) {
  package.AddFile(L"a.bin", 5000);
  const std::wstring folder = package / L"target";
  const std::wstring arguments = L"/S /D=" + folder;

  // No script at all.
  SilentOutcome outcome = Install(arguments);
  EXPECT_EQ(outcome.ExitCode, kExitBadPackage);
  EXPECT_NE(outcome.Reason.find(L"Setup.ini"), std::wstring::npos);

  // A payload shorter than the script says.
  package.Write(100);
  outcome = Install(arguments);
  EXPECT_EQ(outcome.ExitCode, kExitBadPackage);
  EXPECT_NE(outcome.Reason.find(L"data.dat"), std::wstring::npos) << Narrow(outcome.Reason);

  // No payload.
  DeleteFileW((package.Folder() + script::kPayloadFile).c_str());
  EXPECT_EQ(Install(arguments).ExitCode, kExitBadPackage);

  // Texts the script announces but Setup.dat does not hold.
  package.Write();
  ProfileFile script = ProfileFile::Load(package.Folder() + script::kScriptFile);
  script.WriteString(script::kMain, script::kUseReadMe, L"Yes");
  script.WriteString(script::kReadMe, script::kSize, L"400");
  script.Save(package.Folder() + script::kScriptFile);
  WriteTextFile(package.Folder() + script::kTextsFile, "short");
  TempOverride temp;
  outcome = Install(arguments);
  EXPECT_EQ(outcome.ExitCode, kExitBadPackage);
  EXPECT_NE(outcome.Reason.find(L"Setup.dat"), std::wstring::npos) << Narrow(outcome.Reason);

  EXPECT_FALSE(FolderExists(folder));
}

TEST_F(SilentInstallTest, AFolderThatCannotBeMadeIsCodeThreeWithTheReason) {
  package.AddFile(L"a.bin", 10);
  package.Write();
  WriteTextFile(package / L"plain file", "not a folder");
  const SilentOutcome outcome = Install(L"/S /D=" + (package / L"plain file\\sub"));
  EXPECT_EQ(outcome.ExitCode, kExitCannotWrite);
  EXPECT_FALSE(outcome.Reason.empty());
  EXPECT_NE(Log().find("Ошибка (код 3)"), std::string::npos) << Log();
}

// The silent run refuses the package by the rule the window's install uses, and
// before it looks at the install folder: the same words, nothing written.
TEST_F(SilentInstallTest, RowsAreCheckedByTheWindowsRuleBeforeTheFolder) {
  package.AddFile(L"a.bin", 40);
  package.Write();
  package.WritePayload(package.contents[0] + "and more");  // longer than the rows say
  SetupState windowState = package.State();
  RecordingEvents events;
  const std::wstring windowError = InstallError(windowState, {package / L"shown"}, events);
  ASSERT_NE(windowError, L"");

  WriteTextFile(package / L"plain file", "not a folder");
  const SilentOutcome outcome = Install(L"/S /D=" + (package / L"plain file\\sub"));

  EXPECT_EQ(outcome.ExitCode, kExitBadPackage);
  EXPECT_EQ(outcome.Reason, windowError);
  EXPECT_EQ(Log().find("Папка установки"), std::string::npos) << Log();
  EXPECT_FALSE(FolderExists(package / L"shown"));
}

// A count far beyond the rows present is refused from the rows there are, at once.
TEST_F(SilentInstallTest, AnAbsurdFileCountIsRefusedWithoutReadingThatManyRows) {
  package.AddFile(L"a.bin", 10);
  package.Write();
  const std::wstring path = package.Folder() + script::kScriptFile;
  ProfileFile script = ProfileFile::Load(path);
  script.WriteString(script::kOneData, script::kCountOfFiles, L"2000000000");
  script.Save(path);
  const DWORD started = GetTickCount();

  const SilentOutcome outcome = Install(L"/S /D=" + (package / L"target"));

  EXPECT_EQ(outcome.ExitCode, kExitBadPackage);
  EXPECT_NE(outcome.Reason.find(L"2000000000"), std::wstring::npos) << Narrow(outcome.Reason);
  EXPECT_LT(GetTickCount() - started, 20000u);
  EXPECT_FALSE(FolderExists(package / L"target"));
}
