#include <gtest/gtest.h>

#include <algorithm>

#include "formats/UninstallEntry.h"
#include "setup/InstallFixtures.h"
#include "setup/ShortCuts.h"
#include "support/ComScope.h"
#include "support/Handle.h"
#include "support/QRegistry.h"
#include "uninstaller/UninstallEngine.h"
#include "uninstaller/UninstallMessages.h"

namespace {
// The entry as the setup program writes it, with the one folder it made links in.
void CreateUninstallKey(const std::wstring& name, const std::wstring& linkFolder = {}) {
  RegistryKey::Create(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name))
      .WriteText(uninstall::kLinkFolders, linkFolder);
}

bool KeyExists(const std::wstring& name) {
  return RegKeyExists(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name));
}

class UninstallEngineTest : public ::testing::Test {
 protected:
  ComScope com;
  TempDir dir;
  std::wstring root = dir / L"Program";
  std::wstring links = dir / L"Links";
  std::wstring name = UniqueProgramName(L"Удаляемая программа");

  void TearDown() override {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name).c_str());
  }

  // An installed tree recorded with gaps in its numbering, as a second install leaves it.
  void LayOutInstall() {
    ForceFolder(root + L"\\bin\\plugins");
    ForceFolder(root + L"\\docs");
    ForceFolder(links);
    for (const wchar_t* file :
         {L"\\prog.exe", L"\\bin\\lib.dll", L"\\bin\\plugins\\one.dll", L"\\docs\\read.txt"})
      WriteTextFile(root + file, "data");
    ASSERT_TRUE(*CreateShellLink(links, root + L"\\prog.exe", L"", L"", L"", L"Prog"));
    ASSERT_TRUE(*CreateShellLink(links, root + L"\\docs\\read.txt", L"", L"", L"", L"Docs"));
    WriteTextFile(root + L"\\Uninst.ini", "[Files]\r\nFileCount=2\r\nFile1=" + Narrow(root) +
                                              "\\prog.exe\r\nFile3=" + Narrow(root) +
                                              "\\bin\\lib.dll\r\nFile7=" + Narrow(root) +
                                              "\\bin\\plugins\\one.dll\r\nFile9=" + Narrow(root) +
                                              "\\docs\\read.txt\r\nFile10=" + Narrow(root) +
                                              "\\gone-already.txt\r\n\r\n[ShortCuts]\r\n"
                                              "ShortCut2=" +
                                              Narrow(links) + "\\Prog.lnk\r\nShortCut5=" +
                                              Narrow(links) + "\\Docs.lnk\r\nCount=2\r\n");
    CreateUninstallKey(name, links);
  }
  UninstallCommand Command() { return {root + L"\\Uninst.ini", name}; }
};
}  // namespace

TEST_F(UninstallEngineTest, RemovesListedFilesLinksEmptyFoldersScriptAndKey) {
  LayOutInstall();
  const UninstallResult result = RemoveInstallation(Command(), L"C:\\windows\\MVUninst.exe");
  EXPECT_TRUE(result.ScriptFound);
  EXPECT_TRUE(result.NotRemoved.empty());
  EXPECT_TRUE(result.FoldersKept.empty());
  EXPECT_FALSE(FolderExists(root)) << "every folder of the tree was left empty";
  EXPECT_FALSE(FileExists(links + L"\\Prog.lnk"));
  EXPECT_FALSE(FileExists(links + L"\\Docs.lnk"));
  EXPECT_TRUE(FolderExists(links)) << "folders of links are not the install tree";
  EXPECT_FALSE(KeyExists(name));
  EXPECT_EQ(UninstallReport(name, result),
            L"Программа «" + name +
                L"» удалена.\r\n\r\nУдалено файлов: 4, ярлыков: 2.\r\n\r\n"
                L"Уже отсутствовали:\r\n" +
                root + L"\\gone-already.txt");
}

TEST_F(UninstallEngineTest, UsersOwnFilesAndTheirFoldersStayAndAreReported) {
  LayOutInstall();
  WriteTextFile(root + L"\\bin\\notes.txt", "mine");
  ForceFolder(root + L"\\saves");
  WriteTextFile(root + L"\\saves\\game1.sav", "mine");

  const UninstallResult result = RemoveInstallation(Command(), L"C:\\windows\\MVUninst.exe");

  EXPECT_EQ(ReadFileBytes(root + L"\\bin\\notes.txt"), "mine");
  EXPECT_EQ(ReadFileBytes(root + L"\\saves\\game1.sav"), "mine");
  EXPECT_FALSE(FileExists(root + L"\\bin\\lib.dll"));
  EXPECT_FALSE(FolderExists(root + L"\\bin\\plugins"));
  EXPECT_FALSE(FolderExists(root + L"\\docs"));
  EXPECT_FALSE(FileExists(root + L"\\Uninst.ini"));
  EXPECT_EQ(result.FoldersKept, (std::vector<std::wstring>{root + L"\\bin", root}));
  EXPECT_TRUE(result.NotRemoved.empty());
  EXPECT_NE(UninstallReport(name, result).find(L"Папки оставлены"), std::wstring::npos);
}

TEST_F(UninstallEngineTest, NeverDeletesItselfAndKeepsRecordAndKeyWhileSomethingIsLocked) {
  LayOutInstall();
  const std::wstring self = root + L"\\prog.exe";  // as if the record listed the uninstaller
  FileHandle locked(CreateFileW((root + L"\\docs\\read.txt").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(locked.Valid());

  const UninstallResult result = RemoveInstallation(Command(), self);

  EXPECT_TRUE(FileExists(self));
  EXPECT_EQ(result.NotRemoved, std::vector<std::wstring>{root + L"\\docs\\read.txt"});
  const std::wstring report = UninstallReport(name, result);
  EXPECT_NE(report.find(L"удалена не полностью"), std::wstring::npos);
  EXPECT_NE(report.find(root + L"\\docs\\read.txt"), std::wstring::npos);
  // A second try needs both.
  EXPECT_TRUE(FileExists(root + L"\\Uninst.ini"));
  EXPECT_TRUE(KeyExists(name));

  locked.Reset();
  const UninstallResult again = RemoveInstallation(Command(), self);
  EXPECT_TRUE(again.NotRemoved.empty());
  EXPECT_FALSE(FileExists(root + L"\\docs\\read.txt"));
  EXPECT_FALSE(FileExists(root + L"\\Uninst.ini"));
  EXPECT_FALSE(KeyExists(name));
}

TEST_F(UninstallEngineTest, MissingScriptRemovesOnlyTheKey) {
  CreateUninstallKey(name);
  ForceFolder(root);
  WriteTextFile(root + L"\\prog.exe", "data");
  const UninstallResult result = RemoveInstallation(Command(), L"C:\\windows\\MVUninst.exe");
  EXPECT_FALSE(result.ScriptFound);
  EXPECT_TRUE(FileExists(root + L"\\prog.exe"));
  EXPECT_FALSE(KeyExists(name));
}

TEST_F(UninstallEngineTest, NamesThatWouldReachAnotherKeyAreLeftAlone) {
  LayOutInstall();
  const std::wstring child = name + L"\\Child";
  CreateUninstallKey(child);
  const UninstallResult result = RemoveInstallation({root + L"\\Uninst.ini", child}, L"");
  EXPECT_TRUE(KeyExists(child));
  EXPECT_EQ(result.NotRemoved,
            std::vector<std::wstring>{L"HKEY_LOCAL_MACHINE\\" + UninstallRegistryKey(child)});
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallRegistryKey(child).c_str());
}

// With /REBOOTOK a file in use is left to Windows to delete at the restart; the
// record and the key go, as nothing else is left for a second try.
TEST_F(UninstallEngineTest, AFileInUseGoesAtTheRestartWhenAllowed) {
  ScopedPendingRenames pending;
  LayOutInstall();
  const std::wstring held = root + L"\\bin\\lib.dll";
  FileHandle holder(
      CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder.Valid());

  const UninstallResult result = RemoveInstallation(Command(), L"", true);

  EXPECT_EQ(result.AtRestart, std::vector<std::wstring>{held});
  EXPECT_TRUE(result.NotRemoved.empty());
  EXPECT_TRUE(FileExists(held));
  EXPECT_FALSE(FileExists(root + L"\\Uninst.ini"));
  EXPECT_FALSE(KeyExists(name));
  const auto renames = PendingFileRenames();
  EXPECT_NE(std::find(renames.begin(), renames.end(), std::make_pair(held, std::wstring())),
            renames.end());
  EXPECT_NE(UninstallReport(name, result).find(held), std::wstring::npos);
}
