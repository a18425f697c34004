#include <gtest/gtest.h>

#include "InstallFixtures.h"
#include "setup/InstallLists.h"

namespace {
Status Load(TestPackage& package, int32_t claimedFiles, int32_t claimedShortcuts,
            SetupState& state) {
  package.Write();
  state = package.State();
  state.InstallPath = L"C:\\Chosen";
  state.CountOfFiles = claimedFiles;
  state.CountOfShortCuts = claimedShortcuts;
  NullProgress progress;
  return LoadInstallLists(state, progress);
}

SetupState Loaded(TestPackage& package, int32_t claimedFiles, int32_t claimedShortcuts) {
  SetupState state;
  const Status loaded = Load(package, claimedFiles, claimedShortcuts, state);
  EXPECT_TRUE(loaded) << Narrow(loaded.Error().Message());
  return state;
}

Failure LoadFailure(TestPackage& package, int32_t claimedFiles) {
  SetupState state;
  Status loaded = Load(package, claimedFiles, 0, state);
  return loaded ? Failure(L"loaded") : std::move(loaded).Error();
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

TEST(InstallListsTest, ShortcutCountsOnlyReachTheRowsPresentFileCountsMustAddUp) {
  TestPackage package;
  package.AddFile(L"a.txt", 1);
  package.AddFile(L"b.txt", 2);
  package.AddShortcut({L"One", L"C:\\x", L"C:\\x\\a.txt", L"", L""});

  SetupState huge = Loaded(package, 2, 2000000000);
  EXPECT_EQ(huge.FileList.size(), 3u);
  EXPECT_EQ(huge.ShortcutList.size(), 2u);
  EXPECT_EQ(huge.CountOfShortCuts, 1);

  SetupState fewer = Loaded(package, 1, -1);
  EXPECT_EQ(fewer.CountOfFiles, 1) << "a smaller count is honoured";
  EXPECT_EQ(fewer.ShortcutList.size(), 1u);

  // Files the script counts but does not list would make a shorter install that
  // looks complete: they are a damaged package.
  for (int32_t count : {3, 2000000000, -5}) {
    const Failure failure = LoadFailure(package, count);
    EXPECT_TRUE(failure.Is(FailureKind::Package)) << count << " files were accepted";
    EXPECT_NE(failure.Message().find(L"повреждён"), std::wstring::npos)
        << Narrow(failure.Message());
  }
}

TEST(InstallListsTest, MissingScriptGivesEmptyListsOrAnErrorWhenFilesAreCounted) {
  SetupState state;
  state.PackageFolder = L"C:\\no\\such\\package\\";
  NullProgress progress;
  ASSERT_TRUE(LoadInstallLists(state, progress));
  EXPECT_EQ(state.FileList.size(), 1u);
  EXPECT_EQ(state.ShortcutList.size(), 1u);
  state.CountOfFiles = 3;
  const Status counted = LoadInstallLists(state, progress);
  ASSERT_FALSE(counted);
  EXPECT_TRUE(counted.Error().Is(FailureKind::Package));
}
