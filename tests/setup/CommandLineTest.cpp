#include <gtest/gtest.h>

#include "TestUtil.h"
#include "setup/CommandLine.h"

TEST(SetupCommandLineTest, TheProgramNameIsSkippedQuotedOrNot) {
  EXPECT_EQ(ArgumentsOf(L"\"C:\\My Setup\\Setup.exe\"  /S /LOG=x"), L"/S /LOG=x");
  EXPECT_EQ(ArgumentsOf(L"C:\\Setup\\Setup.exe /S"), L"/S");
  EXPECT_EQ(ArgumentsOf(L"\"C:\\a b\\Setup.exe\""), L"");
  EXPECT_EQ(ArgumentsOf(L"Setup.exe"), L"");
  EXPECT_TRUE(ParseSetupArguments(ArgumentsOf(L"\"C:\\a b\\Setup.exe\"   ")).Empty());
}

TEST(SetupCommandLineTest, SwitchesAreReadInAnyOrderAndAnyCase) {
  for (const wchar_t* text : {L"/S /LOG=C:\\logs\\setup.log /D=C:\\Program Files\\Ковёр",
                              L"/log=C:\\logs\\setup.log /s /d=C:\\Program Files\\Ковёр",
                              L"  /Log=C:\\logs\\setup.log\t/S   /D=C:\\Program Files\\Ковёр  "}) {
    const SetupCommandLine line = ParseSetupArguments(text);
    EXPECT_TRUE(line.Ok()) << line.Problem.size();
    EXPECT_TRUE(line.Silent);
    EXPECT_TRUE(line.HasLog);
    EXPECT_EQ(line.LogPath, L"C:\\logs\\setup.log");
    EXPECT_TRUE(line.HasInstallFolder);
    EXPECT_EQ(line.InstallFolder, L"C:\\Program Files\\Ковёр");
    EXPECT_FALSE(line.AllowDowngrade);
    EXPECT_FALSE(line.Empty());
  }
  const SetupCommandLine downgrade = ParseSetupArguments(L"/allowdowngrade");
  EXPECT_TRUE(downgrade.Ok());
  EXPECT_TRUE(downgrade.AllowDowngrade);
  EXPECT_FALSE(downgrade.Empty()) << "the window run reports its exit code";
  EXPECT_FALSE(ParseSetupArguments(L"/ALLOWDOWNGRADE=1").Ok());
}

TEST(SetupCommandLineTest, TheFolderTakesTheRestOfTheLineWithBlanksAndLosesItsQuotes) {
  EXPECT_EQ(ParseSetupArguments(L"/D=C:\\a  b\\c d").InstallFolder, L"C:\\a  b\\c d");
  EXPECT_EQ(ParseSetupArguments(L"/D=\"C:\\a b\\c\"").InstallFolder, L"C:\\a b\\c");
  EXPECT_EQ(ParseSetupArguments(L"\"/D=C:\\a b\\c\"").InstallFolder, L"C:\\a b\\c");
  EXPECT_EQ(ParseSetupArguments(L"/D=\\\\server\\share\\Прог рамма").InstallFolder,
            L"\\\\server\\share\\Прог рамма");
  // /D= is the last switch: what follows it belongs to the folder.
  const SetupCommandLine late = ParseSetupArguments(L"/D=C:\\x /S");
  EXPECT_EQ(late.InstallFolder, L"C:\\x /S");
  EXPECT_FALSE(late.Silent);
}

TEST(SetupCommandLineTest, TheLogPathMayBeQuotedEitherWay) {
  EXPECT_EQ(ParseSetupArguments(L"/LOG=\"C:\\my logs\\a.log\" /S").LogPath, L"C:\\my logs\\a.log");
  EXPECT_EQ(ParseSetupArguments(L"\"/LOG=C:\\my logs\\a.log\" /S").LogPath, L"C:\\my logs\\a.log");
  EXPECT_TRUE(ParseSetupArguments(L"\"/LOG=C:\\my logs\\a.log\" /S").Silent);
}

TEST(SetupCommandLineTest, AnythingElseIsRefusedButWhatCameBeforeIsKept) {
  const SetupCommandLine unknown = ParseSetupArguments(L"/LOG=C:\\a.log /Q /S");
  EXPECT_FALSE(unknown.Ok());
  EXPECT_NE(unknown.Problem.find(L"/Q"), std::wstring::npos);
  EXPECT_EQ(unknown.LogPath, L"C:\\a.log");  // the refusal still reaches the log
  EXPECT_TRUE(unknown.Silent);               // and no box is shown to a silent run

  for (const wchar_t* text : {L"S", L"/SILENT", L"/S/D=C:\\x", L"/LOG=", L"/LOG=a /LOG=b", L"/D=",
                              L"/D=   ", L"/D=Program Files\\x", L"/D=C:", L"-S", L"/D C:\\x"})
    EXPECT_FALSE(ParseSetupArguments(text).Ok()) << Narrow(text);
  EXPECT_TRUE(ParseSetupArguments(L"/D=C:/x").Ok());
  EXPECT_TRUE(ParseSetupArguments(L"").Empty());
}

TEST(SetupCommandLineTest, RebootOkGoesWithTheOtherSwitchesAndIsNotAnEmptyLine) {
  const SetupCommandLine line = ParseSetupArguments(L"/RebootOK /S /D=C:\\x");
  EXPECT_TRUE(line.Ok());
  EXPECT_TRUE(line.RebootOk);
  EXPECT_TRUE(line.Silent);
  EXPECT_EQ(line.InstallFolder, L"C:\\x");
  EXPECT_FALSE(ParseSetupArguments(L"/REBOOTOK").Empty());
  EXPECT_FALSE(ParseSetupArguments(L"/S").RebootOk);
}
