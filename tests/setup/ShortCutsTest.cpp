#include <gtest/gtest.h>

#include "InstallFixtures.h"
#include "setup/InstallEngine.h"
#include "setup/ShortCuts.h"
#include "support/ComScope.h"
#include "support/Error.h"

namespace {
class ShortCutsTest : public ::testing::Test {
 protected:
  ComScope com;
  TempDir dir;
  std::wstring target = dir / L"program.exe";
  void SetUp() override { WriteTextFile(target, "MZ"); }
};
}  // namespace

TEST_F(ShortCutsTest, LinkNameGetsTheExtensionOnlyWhenItLacksOne) {
  const struct {
    const wchar_t* name;
    const wchar_t* file;
  } cases[] = {{L"Readme", L"Readme.lnk"}, {L"Readme.LNK", L"Readme.LNK"},
               {L"Mylnk", L"Mylnk"},       {L"Xlnk", L"Xlnk.lnk"},
               {L"lnk", L"lnk"},           {L"Программа", L"Программа.lnk"}};
  for (const auto& c : cases) {
    EXPECT_TRUE(*CreateShellLink(dir.Path(), target, L"", L"", L"", c.name)) << Narrow(c.name);
    EXPECT_TRUE(FileExists(dir / c.file)) << Narrow(c.file);
  }
}

TEST_F(ShortCutsTest, LinkCarriesTargetArgumentsAndWorkingFolder) {
  ASSERT_TRUE(
      *CreateShellLink(dir.Path() + L"\\", target, L"/a \"b c\"", dir.Path(), L"", L"Program"));
  const LinkFields link = ReadLink(dir / L"Program.lnk");
  EXPECT_EQ(link.Target, target);
  EXPECT_EQ(link.Arguments, L"/a \"b c\"");
  EXPECT_EQ(link.WorkingFolder, dir.Path());

  // A folder is a target like a file; empty arguments and folder stay empty.
  ASSERT_TRUE(*CreateShellLink(dir.Path(), dir.Path(), L"", L"", L"", L"Folder"));
  const LinkFields folderLink = ReadLink(dir / L"Folder.lnk");
  EXPECT_EQ(folderLink.Target, dir.Path());
  EXPECT_EQ(folderLink.Arguments, L"");
  EXPECT_EQ(folderLink.WorkingFolder, L"");
}

TEST_F(ShortCutsTest, NothingIsWrittenWithoutTargetNameOrPlace) {
  EXPECT_FALSE(*CreateShellLink(dir.Path(), dir / L"missing.exe", L"", L"", L"", L"Missing"));
  EXPECT_FALSE(FileExists(dir / L"Missing.lnk"));
  EXPECT_FALSE(*CreateShellLink(dir.Path(), target, L"", L"", L"", L""));
  EXPECT_FALSE(*CreateShellLink(dir / L"no such folder", target, L"", L"", L"", L"Nowhere"));
  EXPECT_FALSE(FileExists(dir / L"no such folder\\Nowhere.lnk"));
}

TEST_F(ShortCutsTest, SaveMakesTheFolderAndRefusesAnEmptyOne) {
  TShortCut shortcut;
  shortcut.Name = L"Deep";
  shortcut.FileName = target;
  const Expected<std::wstring> saved = shortcut.Save(dir / L"a\\b\\c");
  ASSERT_TRUE(saved);
  EXPECT_EQ(*saved, dir / L"a\\b\\c\\Deep.lnk");
  EXPECT_TRUE(FileExists(dir / L"a\\b\\c\\Deep.lnk"));
  const Expected<std::wstring> refused = shortcut.Save(L"");
  ASSERT_FALSE(refused) << "an empty folder must fail";
  EXPECT_EQ(refused.Error().Message(), L"Unable to create directory");
}

namespace {
// One shortcut of each kind; the desktop, Start menu and startup tokens are
// pointed at scratch folders through the environment, which the expansion reads first.
class ShortcutSelectionTest : public ::testing::Test {
 protected:
  ComScope com;
  TestPackage package;
  ScopedEnv desktop{L"Desktop", package / L"desk"};
  ScopedEnv startMenu{L"StartMenu", package / L"menu"};
  ScopedEnv startup{L"AutoLoading", package / L"auto"};
  std::wstring other = package / L"other";

  void SetUp() override {
    package.AddFile(L"prog.exe", 10);
    package.AddShortcut(
        {L"Desk", L"%desktop%", L"%InstallPath%\\prog.exe", L"-d", L"%InstallPath%\\"});
    package.AddShortcut(
        {L"Menu", L"%StartMenu%\\Programs\\Test", L"%InstallPath%\\prog.exe", L"", L""});
    package.AddShortcut({L"Auto", L"%AutoLoading%", L"%InstallPath%\\prog.exe", L"", L""});
    package.AddShortcut({L"Other", other, L"%InstallPath%\\prog.exe", L"", L""});
    package.Write();
  }
  std::wstring Install(InstallChoices choices) {
    SetupState state = package.State();
    RecordingEvents events;
    choices.InstallPathText = package.InstallFolder();
    const Status installed = RunInstall(state, choices, events);
    EXPECT_TRUE(installed) << Narrow(installed.Error().Message());
    return UninstallScriptText(package.InstallFolder());
  }
  std::wstring Link(const std::wstring& folder, const wchar_t* name) {
    return folder + L"\\" + name + L".lnk";
  }
};
}  // namespace

TEST_F(ShortcutSelectionTest, NoBoxMakesOnlyOtherFolderLinks) {
  const std::wstring text = Install({});
  EXPECT_FALSE(FileExists(Link(package / L"desk", L"Desk")));
  EXPECT_FALSE(FileExists(Link(package / L"menu\\Programs\\Test", L"Menu")));
  EXPECT_FALSE(FileExists(Link(package / L"auto", L"Auto")));
  EXPECT_TRUE(FileExists(Link(other, L"Other")));
  EXPECT_NE(text.find(L"[ShortCuts]\r\nShortCut4=" + Link(other, L"Other") + L"\r\nCount=1\r\n"),
            std::wstring::npos)
      << Narrow(text);
}

TEST_F(ShortcutSelectionTest, EachBoxMakesItsOwnKind) {
  const std::wstring text = Install({L"", true, false, true});
  const std::wstring desk = Link(package / L"desk", L"Desk");
  const std::wstring autoLink = Link(package / L"auto", L"Auto");
  EXPECT_TRUE(FileExists(desk));
  EXPECT_FALSE(FileExists(Link(package / L"menu\\Programs\\Test", L"Menu")));
  EXPECT_TRUE(FileExists(autoLink));
  EXPECT_NE(text.find(L"[ShortCuts]\r\nShortCut1=" + desk + L"\r\nShortCut3=" + autoLink +
                      L"\r\nShortCut4=" + Link(other, L"Other") + L"\r\nCount=3\r\n"),
            std::wstring::npos)
      << Narrow(text);
  const LinkFields link = ReadLink(desk);
  EXPECT_EQ(link.Target, package.InstallFolder() + L"\\prog.exe");
  EXPECT_EQ(link.Arguments, L"-d");
  EXPECT_EQ(link.WorkingFolder, package.InstallFolder()) << "one trailing backslash is removed";

  // The Start menu box alone, into the same folder.
  const std::wstring menuOnly = Install({L"", false, true, false});
  EXPECT_TRUE(FileExists(Link(package / L"menu\\Programs\\Test", L"Menu")));
  EXPECT_NE(menuOnly.find(L"Count=2\r\n"), std::wstring::npos) << Narrow(menuOnly);
}

TEST_F(ShortcutSelectionTest, MissingTargetIsSkippedAndTheInstallGoesOn) {
  TestPackage broken;
  broken.AddFile(L"prog.exe", 10);
  broken.AddShortcut({L"Ghost", other, L"%InstallPath%\\not-installed.exe", L"", L""});
  broken.AddShortcut({L"Real", other, L"%InstallPath%\\prog.exe", L"", L""});
  broken.Write();
  SetupState state = broken.State();
  RecordingEvents events;

  ASSERT_TRUE(RunInstall(state, {broken.InstallFolder()}, events));

  EXPECT_FALSE(FileExists(Link(other, L"Ghost")));
  EXPECT_TRUE(FileExists(Link(other, L"Real")));
  EXPECT_TRUE(events.finished);
  const std::wstring text = UninstallScriptText(broken.InstallFolder());
  // Only the link that was made is recorded; its row keeps its script position.
  EXPECT_NE(text.find(L"[ShortCuts]\r\nShortCut2=" + Link(other, L"Real") + L"\r\nCount=1"),
            std::wstring::npos)
      << Narrow(text);
  EXPECT_EQ(text.find(L"Ghost"), std::wstring::npos) << Narrow(text);
}
