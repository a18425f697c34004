// Where /LOG= may write: never over a file of the package or the setup program,
// however the name is spelt, and never through a link.

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "setup/LogTarget.h"
#include "support/PathNames.h"

namespace {
struct Package {
  TempDir dir;
  std::wstring Folder = dir.Path() + L"\\Пакет\\";
  std::wstring Program = Folder + L"Setup.exe";

  Package() {
    ForceFolder(Folder);
    for (const wchar_t* name : {L"Setup.ini", L"data.dat", L"Setup.dat", L"uninst.dat"})
      WriteTextFile(Folder + name, "package");
    WriteTextFile(Program, "MZ");
  }
  std::wstring Problem(const std::wstring& log) const {
    return LogTargetProblem(log, Folder, Program);
  }
};
}  // namespace

TEST(LogTargetTest, PackageFilesAndTheProgramAreRefusedInEverySpelling) {
  const Package package;
  EXPECT_NE(package.Problem(package.Folder + L"Setup.ini"), L"");
  EXPECT_NE(package.Problem(package.Folder + L"SETUP.INI"), L"");
  EXPECT_NE(package.Problem(package.Folder + L"data.dat"), L"");
  EXPECT_NE(package.Problem(package.Folder + L"setup.dat"), L"");
  EXPECT_NE(package.Problem(package.Folder + L"UNINST.DAT"), L"");
  EXPECT_NE(package.Problem(package.Program), L"");
  EXPECT_NE(package.Problem(package.Folder + L"sub\\..\\Setup.ini"), L"");
  EXPECT_NE(package.Problem(package.Folder.substr(0, package.Folder.size() - 1) + L"/./data.dat"),
            L"");
  // A name relative to the current folder, as /LOG=Setup.ini from the package folder.
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(package.Folder.c_str()));
  const std::wstring relative = package.Problem(L"Setup.ini");
  SetCurrentDirectoryW(saved);
  EXPECT_NE(relative, L"");
  EXPECT_NE(package.Problem(package.Folder + L"Setup.ini").find(L"Setup.ini"), std::wstring::npos);
  // The package files keep what they held.
  EXPECT_EQ(ReadFileBytes(package.Folder + L"Setup.ini"), "package");
}

TEST(LogTargetTest, OtherFilesBesideThePackageAreFine) {
  const Package package;
  EXPECT_EQ(package.Problem(package.Folder + L"setup.log"), L"");
  EXPECT_EQ(package.Problem(package.Folder + L"Setup.ini.log"), L"");
  WriteTextFile(package.Folder + L"old.log", "earlier run");
  EXPECT_EQ(package.Problem(package.Folder + L"old.log"), L"");
  EXPECT_EQ(package.Problem(package.dir / L"Setup.ini"), L"");  // another folder's script
  EXPECT_NE(package.Problem(package.dir.Path()), L"");          // a folder is no log
}

TEST(LogTargetTest, AnExistingLinkIsRefused) {
  const Package package;
  const std::wstring victim = package.dir / L"victim.txt";
  WriteTextFile(victim, "keep me");
  // Wine makes no link from inside a program: planted_links.sh plants one from outside.
  const std::wstring fileLink = package.dir / L"setup.log";
  if (!CreateSymbolicLinkW(fileLink.c_str(), victim.c_str(), 0) ||
      GetFileAttributesW(fileLink.c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "the system made no link";
  EXPECT_NE(package.Problem(fileLink).find(L"ссылка"), std::wstring::npos);
  EXPECT_EQ(ReadFileBytes(victim), "keep me");
}

TEST(LogTargetTest, AHardLinkToAPackageFileIsRefused) {
  const Package package;
  const std::wstring other = package.dir / L"install.log";
  if (!CreateHardLinkW(other.c_str(), (package.Folder + L"data.dat").c_str(), nullptr))
    GTEST_SKIP() << "the system made no hard link";
  EXPECT_NE(package.Problem(other), L"");
}
