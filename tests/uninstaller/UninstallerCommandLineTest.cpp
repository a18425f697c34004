#include <gtest/gtest.h>

#include "uninstaller/CommandLine.h"
#include "uninstaller/UninstallLog.h"

TEST(UninstallerCommandLineTest, SwitchesGoBeforeOrAfterTheTwoArgumentsInAnyCase) {
  const wchar_t* lines[] = {
      L"C:\\windows\\MVUninst.exe \"C:\\Мои программы\\Ковёр\\Uninst.ini\" \"Ковёр 2\" /S "
      L"/LOG=C:\\u.log",
      L"C:\\windows\\MVUninst.exe /s /log=C:\\u.log \"C:\\Мои программы\\Ковёр\\Uninst.ini\" "
      L"\"Ковёр 2\"",
      L"C:\\windows\\MVUninst.exe /LOG=\"C:\\u.log\" \"C:\\Мои программы\\Ковёр\\Uninst.ini\" "
      L"\"Ковёр 2\" /S"};
  for (const wchar_t* text : lines) {
    const UninstallerCommandLine line = ParseUninstallerCommandLine(text);
    ASSERT_TRUE(line.Ok);
    EXPECT_TRUE(line.Silent);
    EXPECT_EQ(line.LogPath, L"C:\\u.log");
    EXPECT_EQ(line.Command.ScriptPath, L"C:\\Мои программы\\Ковёр\\Uninst.ini");
    EXPECT_EQ(line.Command.ProgramName, L"Ковёр 2");
  }
}

TEST(UninstallerCommandLineTest, TheRegisteredLineStillReadsWithoutSwitchesAndASplitProgramPath) {
  const UninstallerCommandLine line =
      ParseUninstallerCommandLine(L"C:\\My Windows\\MVUninst.exe \"C:\\P\\Uninst.ini\" \"Prog\"");
  ASSERT_TRUE(line.Ok);
  EXPECT_FALSE(line.Silent);
  EXPECT_TRUE(line.LogPath.empty());
  EXPECT_EQ(line.Command.ScriptPath, L"C:\\P\\Uninst.ini");
  EXPECT_EQ(line.Command.ProgramName, L"Prog");

  EXPECT_FALSE(ParseUninstallerCommandLine(L"MVUninst.exe \"C:\\P\\Uninst.ini\"").Ok);
  EXPECT_FALSE(ParseUninstallerCommandLine(L"MVUninst.exe /S \"C:\\P\\Uninst.ini\" /LOG=x").Ok);
  EXPECT_FALSE(ParseUninstallerCommandLine(L"MVUninst.exe").Ok);
  // An empty log path is a mistake in the command line, not "no log".
  EXPECT_FALSE(
      ParseUninstallerCommandLine(L"MVUninst.exe \"C:\\P\\Uninst.ini\" \"Prog\" /LOG=").Ok);
}

TEST(UninstallerCommandLineTest, ExitCodeIsZeroOnlyWhenEverythingListedIsGone) {
  UninstallResult clean;
  clean.ScriptFound = true;
  EXPECT_EQ(UninstallExitCode(clean), kUninstallComplete);
  UninstallResult foldersLeft = clean;  // the user's own files keep a folder: not ours
  foldersLeft.FoldersKept.push_back(L"C:\\P");
  EXPECT_EQ(UninstallExitCode(foldersLeft), kUninstallComplete);
  UninstallResult inUse = clean;
  inUse.NotRemoved.push_back(L"C:\\P\\a.exe");
  EXPECT_EQ(UninstallExitCode(inUse), kUninstallSomethingKept);
  UninstallResult changed = clean;  // a user's changed file stays
  changed.Changed.push_back(L"C:\\P\\settings.ini");
  EXPECT_EQ(UninstallExitCode(changed), kUninstallSomethingKept);
  UninstallResult skipped = clean;  // a row naming something outside the folder
  skipped.Skipped.push_back(L"C:\\Windows\\system.ini");
  EXPECT_EQ(UninstallExitCode(skipped), kUninstallSomethingKept);
  UninstallResult noRecord;
  EXPECT_EQ(UninstallExitCode(noRecord), kUninstallSomethingKept);
  UninstallResult atRestart = clean;  // /REBOOTOK: the rest goes when Windows restarts
  atRestart.AtRestart.push_back(L"C:\\P\\a.exe");
  EXPECT_EQ(UninstallExitCode(atRestart), kUninstallRestartToFinish);
  atRestart.Changed.push_back(L"C:\\P\\settings.ini");
  EXPECT_EQ(UninstallExitCode(atRestart), kUninstallSomethingKept);
}

TEST(UninstallerCommandLineTest, RebootOkIsASwitchNotAnArgument) {
  const UninstallerCommandLine line =
      ParseUninstallerCommandLine(L"MVUninst.exe \"C:\\P\\Uninst.ini\" /rebootok \"Prog\" /S");
  ASSERT_TRUE(line.Ok);
  EXPECT_TRUE(line.RebootOk);
  EXPECT_EQ(line.Command.ScriptPath, L"C:\\P\\Uninst.ini");
  EXPECT_EQ(line.Command.ProgramName, L"Prog");
  EXPECT_FALSE(
      ParseUninstallerCommandLine(L"MVUninst.exe \"C:\\P\\Uninst.ini\" \"Prog\"").RebootOk);
}
