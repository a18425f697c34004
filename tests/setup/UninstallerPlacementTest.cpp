// The uninstaller in the Windows folder is shared by every product: a failed
// copy is an error, and an older package never puts back an older uninstaller.

#include <gtest/gtest.h>

#include "InstallFixtures.h"
#include "formats/UninstallRecord.h"
#include "support/ComScope.h"

namespace {
// The uninstaller as built, copied beside this test program by the build.
std::string UninstallerImage() {
  return ReadFileBytes(ProgramFolder() + L"uninst_image.exe");
}

// The image with the file version of its VS_FIXEDFILEINFO replaced.
std::string WithVersion(std::string image, uint32_t high, uint32_t low) {
  const std::string signature("\xBD\x04\xEF\xFE", 4);
  const size_t at = image.find(signature);
  if (at == std::string::npos)
    return {};
  for (int i = 0; i < 4; ++i) {
    image[at + 8 + i] = static_cast<char>(high >> (8 * i));
    image[at + 12 + i] = static_cast<char>(low >> (8 * i));
  }
  return image;
}

class UninstallerPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(windows.c_str(), nullptr);
    package.windowsFolder = windows;
    package.useUninstall = true;
    package.AddFile(L"prog.exe", 10);
    package.Write();
    WriteTextFile(package.Folder() + L"uninst.dat", image);
  }
  void TearDown() override {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallRegistryKey(package.programName).c_str());
  }
  std::wstring Install() {
    SetupState state = package.State();
    return InstallError(state, {package.InstallFolder()}, events);
  }

  ComScope com;
  TestPackage package;
  RecordingEvents events;
  std::wstring windows = package / L"windows";
  std::wstring placed = windows + L"\\MVUninst.exe";
  std::string image = UninstallerImage();
};
}  // namespace

TEST_F(UninstallerPlacementTest, AnOlderPackageNeverReplacesANewerUninstaller) {
  const std::string newer = WithVersion(image, 0x7FFF0000, 0);
  ASSERT_FALSE(newer.empty()) << "no VS_FIXEDFILEINFO in the uninstaller";
  WriteTextFile(placed, newer);
  ASSERT_EQ(Install(), L"");
  EXPECT_TRUE(ReadFileBytes(placed) == newer) << "the newer uninstaller was replaced";
  EXPECT_TRUE(events.finished);
}

TEST_F(UninstallerPlacementTest, AnEqualOrNewerPackageReplacesIt) {
  for (const std::string& before : {WithVersion(image, 0, 1), image, std::string("no version")}) {
    ASSERT_FALSE(before.empty());
    WriteTextFile(placed, before);
    ASSERT_EQ(Install(), L"");
    EXPECT_TRUE(ReadFileBytes(placed) == image);
  }
}

TEST_F(UninstallerPlacementTest, AFailedCopyIsAnErrorAndTakesTheInstallBack) {
  CreateDirectoryW(placed.c_str(), nullptr);  // a folder where the file must go
  package.AddShortcut({L"Prog", package / L"links", L"%InstallPath%\\prog.exe", L"", L""});
  package.Write();
  WriteTextFile(package.Folder() + L"uninst.dat", image);

  const std::wstring error = Install();

  EXPECT_NE(error.find(placed), std::wstring::npos) << Narrow(error);
  EXPECT_FALSE(events.finished);
  EXPECT_FALSE(FolderExists(package.InstallFolder()));
  EXPECT_FALSE(FileExists(package / L"links\\Prog.lnk"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallRegistryKey(package.programName)));
}
