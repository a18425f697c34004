#include <gtest/gtest.h>

#include "formats/UninstallRecord.h"

TEST(UninstallCommandTest, TakesTheLastTwoArgumentsOfTheRegisteredLine) {
  UninstallCommand command;
  ASSERT_TRUE(ParseUninstallCommand(
      L"C:\\windows\\MVUninst.exe \"C:\\Program Files\\Ковёр\\Uninst.ini\" \"Ковёр 1.0\"",
      command));
  EXPECT_EQ(command.ScriptPath, L"C:\\Program Files\\Ковёр\\Uninst.ini");
  EXPECT_EQ(command.ProgramName, L"Ковёр 1.0");
  // The uninstaller's own path is not quoted, so a Windows folder with blanks splits it.
  ASSERT_TRUE(
      ParseUninstallCommand(L"C:\\My Windows\\MVUninst.exe \"D:\\P\\Uninst.ini\" \"P\"", command));
  EXPECT_EQ(command.ScriptPath, L"D:\\P\\Uninst.ini");
  EXPECT_EQ(command.ProgramName, L"P");
  EXPECT_FALSE(ParseUninstallCommand(L"MVUninst.exe \"D:\\P\\Uninst.ini\"", command));
  EXPECT_FALSE(ParseUninstallCommand(L"MVUninst.exe", command));
}

// What the setup program registers, the uninstaller reads back whole, blanks and all.
TEST(UninstallCommandTest, TheRegisteredLineReadsBackAsWritten) {
  for (const wchar_t* windows : {L"C:\\windows", L"C:\\My Windows"}) {
    UninstallCommand command;
    ASSERT_TRUE(ParseUninstallCommand(
        UninstallCommandLine(windows, L"C:\\Program Files\\Ковёр", L"Ковёр 1.0").c_str(), command));
    EXPECT_EQ(command.ScriptPath, L"C:\\Program Files\\Ковёр\\Uninst.ini");
    EXPECT_EQ(command.ProgramName, L"Ковёр 1.0");
  }
}
