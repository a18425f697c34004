#include <gtest/gtest.h>

#include "InstallFixtures.h"
#include "setup/InstallLists.h"
#include "setup/RelativeNames.h"

namespace {
SetupState Loaded(TestPackage& package, int32_t claimedFiles, int32_t claimedShortcuts) {
  package.Write();
  SetupState state = package.State();
  state.InstallPath = L"C:\\Chosen";
  state.CountOfFiles = claimedFiles;
  state.CountOfShortCuts = claimedShortcuts;
  NullProgress progress;
  LoadInstallLists(state, progress);
  return state;
}
}  // namespace

TEST(InstallListsTest, ListsAreOneBasedWithExpandedShortcutFields) {
  TestPackage package;
  package.AddFile(L"bin\\prog.exe", 12);
  package.AddFile(L"%ProgramName%.txt", 0);  // file names are taken as written
  package.AddShortcut({L"%ProgramName%", L"%StartMenu%\\Tools", L"%InstallPath%\\bin\\prog.exe",
                       L"\"-x\"", L"%InstallPath%\\bin\\"});
  package.AddShortcut({L"Doc", L"C:\\Shared", L"%InstallPath%\\doc.txt", L"", L"C:\\\\"});
  SetupState state = Loaded(package, 2, 2);

  ASSERT_EQ(state.FileList.size(), 3u);
  EXPECT_EQ(state.FileList[1].FileName, L"bin\\prog.exe");
  EXPECT_EQ(state.FileList[1].FileSize, 12);
  EXPECT_EQ(state.FileList[2].FileName, L"%ProgramName%.txt");
  ASSERT_EQ(state.ShortcutList.size(), 3u);
  const TShortCut& tool = state.ShortcutList[1];
  EXPECT_EQ(tool.Name, state.ProgramName);
  EXPECT_EQ(tool.FileName, L"C:\\Chosen\\bin\\prog.exe");
  EXPECT_EQ(tool.Params, L"-x");
  EXPECT_EQ(tool.FilePath, L"C:\\Chosen\\bin");
  EXPECT_EQ(tool.Kind, kShortcutStartMenu);
  EXPECT_EQ(state.ShortcutList[2].Kind, kShortcutOtherFolder);
  EXPECT_EQ(state.ShortcutList[2].FilePath, L"C:\\") << "only one trailing backslash goes";
}

TEST(InstallListsTest, KindsComeFromTheUnexpandedSavePath) {
  EXPECT_EQ(ShortcutKindOf(L"%desktop%"), kShortcutDesktop);
  EXPECT_EQ(ShortcutKindOf(L"%DESKTOP%\\Sub"), kShortcutDesktop);
  EXPECT_EQ(ShortcutKindOf(L"%AutoLoading%"), kShortcutStartup);
  EXPECT_EQ(ShortcutKindOf(L"%StartMenu%\\Tools"), kShortcutStartMenu);
  EXPECT_EQ(ShortcutKindOf(L"%Desktop"), kShortcutOtherFolder);
  EXPECT_EQ(ShortcutKindOf(L"C:\\Users\\Desktop"), kShortcutOtherFolder);
  EXPECT_EQ(ShortcutKindOf(L""), kShortcutOtherFolder);
}

TEST(InstallListsTest, AbsurdCountsOnlyReachTheRowsPresent) {
  TestPackage package;
  package.AddFile(L"a.txt", 1);
  package.AddFile(L"b.txt", 2);
  package.AddShortcut({L"One", L"C:\\x", L"C:\\x\\a.txt", L"", L""});

  SetupState huge = Loaded(package, 2000000000, 2000000000);
  EXPECT_EQ(huge.FileList.size(), 3u);
  EXPECT_EQ(huge.CountOfFiles, 2);
  EXPECT_EQ(huge.ShortcutList.size(), 2u);
  EXPECT_EQ(huge.CountOfShortCuts, 1);

  SetupState negative = Loaded(package, -5, -1);
  EXPECT_EQ(negative.FileList.size(), 1u);
  EXPECT_EQ(negative.CountOfFiles, 0);
  EXPECT_EQ(negative.ShortcutList.size(), 1u);

  SetupState fewer = Loaded(package, 1, 0);
  EXPECT_EQ(fewer.CountOfFiles, 1) << "a smaller count is honoured";
}

TEST(InstallListsTest, MissingScriptGivesEmptyLists) {
  SetupState state;
  state.PackageFolder = L"C:\\no\\such\\package\\";
  state.CountOfFiles = 3;
  NullProgress progress;
  LoadInstallLists(state, progress);
  EXPECT_EQ(state.FileList.size(), 1u);
  EXPECT_EQ(state.CountOfFiles, 0);
}

TEST(RelativeNamesTest, OnlyPathsBelowTheFolderPass) {
  for (const wchar_t* good :
       {L"a.txt", L"docs\\readme.txt", L"a/b.txt", L".\\a.txt", L"..a\\b..", L"x..y"})
    EXPECT_TRUE(IsSafeRelativeName(good)) << Narrow(good);
  for (const wchar_t* bad :
       {L"", L"..", L"..\\a", L"a\\..\\..\\b", L"a/../b", L"\\a", L"/a", L"\\\\server\\share\\a",
        L"C:\\a", L"c:a", L"a.txt:stream", L"a\\... \\b", L"a\\.. "})
    EXPECT_FALSE(IsSafeRelativeName(bad)) << Narrow(bad);
}
