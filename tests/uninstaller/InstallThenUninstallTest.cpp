// The setup program's record read back by the uninstaller: a folder Windows-1251
// cannot hold, and a row added for another's link. (Two products in one folder:
// tests/e2e/shared_folder_and_damage.sh.)

#include <gtest/gtest.h>

#include "setup/InstallFixtures.h"
#include "setup/ShortCuts.h"
#include "support/ComScope.h"
#include "uninstaller/UninstallEngine.h"

namespace {
class InstallThenUninstallTest : public RegisteredInstallTest {
 protected:
  // Uninstalls through the command line the install registered.
  UninstallResult Uninstall(const TestPackage& package) {
    UninstallCommand command;
    const std::wstring line = ReadRegText(
        HKEY_LOCAL_MACHINE, UninstallRegistryKey(package.programName), L"UninstallString");
    EXPECT_TRUE(ParseUninstallCommand(line.c_str(), command)) << Narrow(line);
    return RemoveInstallation(command, windows + L"\\MVUninst.exe");
  }
  bool Registered(const TestPackage& package) {
    return RegKeyExists(HKEY_LOCAL_MACHINE, UninstallRegistryKey(package.programName));
  }
};
}  // namespace

TEST_F(InstallThenUninstallTest, AFolderWindows1251CannotHoldIsRemovedWhole) {
  const std::wstring folder = dir / L"Programme\\Müller";
  TestPackage product;
  product.AddFile(L"bin\\prog.exe", 100);
  product.AddFile(L"readme.txt", 10);
  product.AddShortcut({L"Prog", dir / L"Zoë", L"%InstallPath%\\bin\\prog.exe", L"", L""});
  InstallRegistered(product, folder);

  const UninstallResult result = Uninstall(product);

  EXPECT_EQ(result.FilesRemoved, 2);
  EXPECT_EQ(result.LinksRemoved, 1);
  EXPECT_TRUE(result.Skipped.empty());
  EXPECT_FALSE(FolderExists(folder));
  EXPECT_FALSE(FileExists(dir / L"Zoë\\Prog.lnk"));
  EXPECT_FALSE(Registered(product));
}

TEST_F(InstallThenUninstallTest, ALinkAddedToTheRecordOutsideTheInstallsLinkFoldersStays) {
  TestPackage product;
  product.AddFile(L"prog.exe", 100);
  product.AddShortcut({L"Prog", dir / L"links", L"%InstallPath%\\prog.exe", L"", L""});
  product.AddShortcut({L"Help", dir / L"links", L"%InstallPath%\\prog.exe", L"", L""});
  InstallRegistered(product, shared);
  EXPECT_EQ(
      ReadRegText(HKEY_LOCAL_MACHINE, UninstallRegistryKey(product.programName), L"LinkFolders"),
      dir / L"links");
  // Someone who can write to the install folder adds a row for another's link.
  ForceFolder(dir / L"theirs");
  ASSERT_TRUE(*CreateShellLink(dir / L"theirs", shared + L"\\prog.exe", L"", L"", L"", L"Theirs"));
  std::string record = ReadFileBytes(shared + L"\\Uninst.ini");
  const size_t links = record.find("[ShortCuts]\r\n");
  ASSERT_NE(links, std::string::npos);
  record.insert(links + 13, "ShortCut9=" + Narrow(dir / L"theirs\\Theirs.lnk") + "\r\n");
  WriteTextFile(shared + L"\\Uninst.ini", record);

  const UninstallResult result = Uninstall(product);

  EXPECT_EQ(result.LinksRemoved, 2);
  EXPECT_FALSE(FileExists(dir / L"links\\Prog.lnk"));
  EXPECT_TRUE(FileExists(dir / L"theirs\\Theirs.lnk"));
  EXPECT_EQ(result.Skipped, std::vector<std::wstring>{dir / L"theirs\\Theirs.lnk"});
}
