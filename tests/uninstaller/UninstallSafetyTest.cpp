// The record is untrusted input: the uninstaller removes only files inside the
// install folder that are still what the install wrote, and links that are links.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "formats/UninstallEntry.h"
#include "setup/InstallFixtures.h"
#include "setup/ShortCuts.h"
#include "support/ComScope.h"
#include "support/Crc32.h"
#include "support/Environment.h"
#include "support/QRegistry.h"
#include "uninstaller/UninstallEngine.h"
#include "uninstaller/UninstallMessages.h"

namespace {
bool Contains(const std::vector<std::wstring>& list, const std::wstring& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

class UninstallSafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ForceFolder(root);
    ForceFolder(links);
    RegisterLinkFolders(links);  // the entry as the setup program writes it
  }
  void RegisterLinkFolders(const std::wstring& value) {
    RegistryKey::Create(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name))
        .WriteText(uninstall::kLinkFolders, value);
  }
  void TearDown() override {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name).c_str());
  }
  void Record(const std::string& files, const std::string& shortcuts = {}) {
    WriteTextFile(root + L"\\Uninst.ini",
                  "[Files]\r\nFileCount=9\r\n" + files + "\r\n[ShortCuts]\r\n" + shortcuts);
  }
  std::string Row(int n, const std::wstring& path) {
    return "File" + std::to_string(n) + "=" + Narrow(path) + "\r\n";
  }
  // A row with the size and checksum the install recorded for `content`.
  std::string CheckedRow(int n, const std::wstring& path, const std::string& content) {
    return Row(n, path) + "FileSize" + std::to_string(n) + "=" + std::to_string(content.size()) +
           "\r\nFileCrc" + std::to_string(n) + "=" + Narrow(CrcKeyText(content)) + "\r\n";
  }
  UninstallResult Uninstall() {
    return RemoveInstallation({root + L"\\Uninst.ini", name}, L"C:\\windows\\MVUninst.exe");
  }
  bool KeyExists() { return RegKeyExists(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name)); }

  ComScope com;
  TempDir dir;
  std::wstring root = dir / L"Program";
  std::wstring links = dir / L"Links";
  std::wstring name = UniqueProgramName(L"Проверяемая программа");
};
}  // namespace

TEST_F(UninstallSafetyTest, RowsOutsideTheInstallFolderAndLinksThatAreNoLinksAreSkipped) {
  WriteTextFile(root + L"\\prog.exe", "ours");
  for (const wchar_t* victim : {L"victim1.txt", L"victim2.txt", L"victim3.txt", L"victim4.txt",
                                L"fake.lnk", L"Links\\victim5.txt"})
    WriteTextFile(dir / victim, "someone else's");
  ASSERT_TRUE(*CreateShellLink(links, root + L"\\prog.exe", L"", L"", L"", L"Real"));
  const std::wstring outside[] = {
      root + L"\\..\\victim1.txt",      dir / L"victim2.txt", root + L"\\sub\\..\\..\\victim3.txt",
      L"\\\\server\\share\\victim.txt", L"Q:\\victim.txt",    root + L"/../victim4.txt"};
  std::string rows = Row(1, root + L"\\prog.exe");
  for (size_t i = 0; i < std::size(outside); ++i) rows += Row(static_cast<int>(i) + 2, outside[i]);
  const std::wstring notLinks[] = {links + L"\\victim5.txt", dir / L"fake.lnk",
                                   L"\\\\server\\share\\x.lnk", L"relative.lnk"};
  std::string linkRows = "ShortCut1=" + Narrow(links) + "\\Real.lnk\r\n";
  for (size_t i = 0; i < std::size(notLinks); ++i)
    linkRows += "ShortCut" + std::to_string(i + 2) + "=" + Narrow(notLinks[i]) + "\r\n";
  Record(rows, linkRows);

  const UninstallResult result = Uninstall();

  EXPECT_FALSE(FileExists(root + L"\\prog.exe"));
  EXPECT_FALSE(FileExists(links + L"\\Real.lnk"));
  for (const wchar_t* victim : {L"victim1.txt", L"victim2.txt", L"victim3.txt", L"victim4.txt",
                                L"fake.lnk", L"Links\\victim5.txt"})
    EXPECT_EQ(ReadFileBytes(dir / victim), "someone else's") << Narrow(victim);
  for (const std::wstring& path : outside)
    EXPECT_TRUE(Contains(result.Skipped, path)) << Narrow(path);
  for (const std::wstring& path : notLinks)
    EXPECT_TRUE(Contains(result.Skipped, path)) << Narrow(path);
  const std::wstring report = UninstallReport(name, result);
  EXPECT_NE(report.find(dir / L"victim2.txt"), std::wstring::npos) << Narrow(report);
}

TEST_F(UninstallSafetyTest, FilesChangedSinceInstallationAreKeptAndTheReportIsTruthful) {
  const std::string installed = "as installed";
  WriteTextFile(root + L"\\same.txt", installed);
  WriteTextFile(root + L"\\edited.txt", "AS INSTALLED");  // same size, other bytes
  WriteTextFile(root + L"\\longer.txt", installed + " and more");
  WriteTextFile(root + L"\\unchecked.txt", "a row added to a record that has checksums");
  Record(CheckedRow(1, root + L"\\same.txt", installed) +
         CheckedRow(2, root + L"\\edited.txt", installed) +
         CheckedRow(3, root + L"\\longer.txt", installed) + Row(4, root + L"\\unchecked.txt") +
         CheckedRow(5, root + L"\\gone.txt", installed));

  const UninstallResult result = Uninstall();

  EXPECT_FALSE(FileExists(root + L"\\same.txt"));
  EXPECT_TRUE(FileExists(root + L"\\unchecked.txt"));
  EXPECT_EQ(result.Skipped, std::vector<std::wstring>{root + L"\\unchecked.txt"});
  EXPECT_EQ(ReadFileBytes(root + L"\\edited.txt"), "AS INSTALLED");
  EXPECT_TRUE(FileExists(root + L"\\longer.txt"));
  EXPECT_EQ(result.Changed,
            (std::vector<std::wstring>{root + L"\\edited.txt", root + L"\\longer.txt"}));
  EXPECT_EQ(result.Missing, std::vector<std::wstring>{root + L"\\gone.txt"});
  EXPECT_EQ(result.FilesRemoved, 1);
  const std::wstring report = UninstallReport(name, result);
  EXPECT_NE(report.find(L"изменены после установки"), std::wstring::npos) << Narrow(report);
  EXPECT_NE(report.find(root + L"\\edited.txt"), std::wstring::npos);
  EXPECT_NE(report.find(L"удалена не полностью"), std::wstring::npos);
  // Kept on purpose: the record has done its work and goes, with the entry.
  EXPECT_FALSE(FileExists(root + L"\\Uninst.ini"));
  EXPECT_FALSE(KeyExists());
}

TEST_F(UninstallSafetyTest, FilesAnotherProductInTheFolderListsAreKept) {
  for (const wchar_t* file : {L"shared.dll", L"a.exe", L"b.exe"})
    WriteTextFile(root + L"\\" + file, "bytes");
  WriteTextFile(root + L"\\Uninst1.ini", "[Files]\r\nProgramName=Другая\r\nFile1=" + Narrow(root) +
                                             "\\SHARED.dll\r\nFile2=" + Narrow(root) +
                                             "\\a.exe\r\n");
  const std::string other = ReadFileBytes(root + L"\\Uninst1.ini");
  Record(Row(1, root + L"\\shared.dll") + Row(2, root + L"\\b.exe") +
         Row(3, root + L"\\Uninst1.ini"));

  const UninstallResult result = Uninstall();

  EXPECT_FALSE(FileExists(root + L"\\b.exe"));
  EXPECT_TRUE(FileExists(root + L"\\shared.dll"));
  EXPECT_TRUE(FileExists(root + L"\\a.exe"));
  EXPECT_EQ(ReadFileBytes(root + L"\\Uninst1.ini"), other);
  EXPECT_FALSE(FileExists(root + L"\\Uninst.ini"));
  EXPECT_EQ(result.Shared, std::vector<std::wstring>{root + L"\\shared.dll"});
  EXPECT_TRUE(Contains(result.Skipped, root + L"\\Uninst1.ini"));
  EXPECT_FALSE(KeyExists());
}

TEST_F(UninstallSafetyTest, LinksGoOnlyFromTheFoldersTheEntryRegistered) {
  WriteTextFile(root + L"\\prog.exe", "ours");
  const std::wstring other = dir / L"Other", deeper = links + L"\\Sub";
  for (const std::wstring& folder : {links, other, deeper}) {
    ForceFolder(folder);
    ASSERT_TRUE(*CreateShellLink(folder, root + L"\\prog.exe", L"", L"", L"", L"Prog"));
  }
  Record(Row(1, root + L"\\prog.exe"),
         "ShortCut1=" + Narrow(links) + "\\Prog.lnk\r\nShortCut2=" + Narrow(other) +
             "\\Prog.lnk\r\nShortCut3=" + Narrow(deeper) + "\\Prog.lnk\r\n");

  const UninstallResult result = Uninstall();

  EXPECT_EQ(result.LinksRemoved, 1);
  EXPECT_FALSE(FileExists(links + L"\\Prog.lnk"));
  for (const std::wstring& kept : {other + L"\\Prog.lnk", deeper + L"\\Prog.lnk"}) {
    EXPECT_TRUE(FileExists(kept)) << Narrow(kept);
    EXPECT_TRUE(Contains(result.Skipped, kept)) << Narrow(kept);
  }
}

TEST_F(UninstallSafetyTest, WithoutRegisteredFoldersLinksGoOnlyFromTheUsersLinkFolders) {
  static RegistryScope registry;
  InitPathVariables();
  RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name).c_str(),
                     uninstall::kLinkFolders);
  const LinkFolderRule rule = LinkFoldersOf(std::nullopt);
  const PathVariableTable& folders = PathVariables();
  EXPECT_TRUE(rule.Allows(folders.Desktop + L"\\Prog.lnk"));
  EXPECT_TRUE(rule.Allows(folders.StartMenu + L"\\Программы\\Фирма\\Prog.lnk"));
  EXPECT_TRUE(rule.Allows(folders.Startup + L"\\Prog.lnk"));
  EXPECT_FALSE(rule.Allows(links + L"\\Prog.lnk"));
  EXPECT_FALSE(LinkFolderRule{}.Allows(folders.Desktop + L"\\Prog.lnk"));

  WriteTextFile(root + L"\\prog.exe", "ours");
  // Latin letters: the record is written in the ANSI code page.
  const std::wstring menu =
      folders.StartMenu + L"\\kovrin-test-" + std::to_wstring(GetCurrentProcessId());
  ForceFolder(menu);
  for (const std::wstring& folder : {links, menu})
    ASSERT_TRUE(*CreateShellLink(folder, root + L"\\prog.exe", L"", L"", L"", L"Prog"));
  Record(Row(1, root + L"\\prog.exe"), "ShortCut1=" + Narrow(menu) + "\\Prog.lnk\r\nShortCut2=" +
                                           Narrow(links) + "\\Prog.lnk\r\n");

  const UninstallResult result = Uninstall();
  RemoveDirectoryW(menu.c_str());

  EXPECT_EQ(result.LinksRemoved, 1);
  EXPECT_FALSE(FileExists(menu + L"\\Prog.lnk"));
  EXPECT_TRUE(FileExists(links + L"\\Prog.lnk"));
  EXPECT_TRUE(Contains(result.Skipped, links + L"\\Prog.lnk"));
}
