#include <gtest/gtest.h>

#include "TestUtil.h"
#include "formats/CrcText.h"
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
        UninstallCommandLine(windows, L"C:\\Program Files\\Ковёр\\Uninst.ini", L"Ковёр 1.0")
            .c_str(),
        command));
    EXPECT_EQ(command.ScriptPath, L"C:\\Program Files\\Ковёр\\Uninst.ini");
    EXPECT_EQ(command.ProgramName, L"Ковёр 1.0");
  }
}

TEST(UninstallRecordTest, RecordNamesAndChecksumTexts) {
  EXPECT_EQ(RecordFileName(0), L"Uninst.ini");
  EXPECT_EQ(RecordFileName(1), L"Uninst1.ini");
  EXPECT_EQ(RecordFileName(12), L"Uninst12.ini");
  for (const wchar_t* name : {L"Uninst.ini", L"UNINST.INI", L"uninst7.ini", L"Uninst123.Ini"})
    EXPECT_TRUE(IsRecordFileName(name)) << Narrow(name);
  for (const wchar_t* name : {L"Uninst.ini.new", L"Uninst1a.ini", L"Uninst.txt", L"MyUninst.ini",
                              L"Uninst-1.ini", L"Uninst"})
    EXPECT_FALSE(IsRecordFileName(name)) << Narrow(name);

  EXPECT_EQ(CrcText(0), L"00000000");
  EXPECT_EQ(CrcText(0xCBF43926u), L"CBF43926");
  uint32_t crc = 0;
  EXPECT_TRUE(ParseCrcText(L"cbf43926", crc));
  EXPECT_EQ(crc, 0xCBF43926u);
  for (const wchar_t* bad : {L"", L"CBF4392", L"CBF439261", L"CBF4392G", L" BF43926", L"-1"})
    EXPECT_FALSE(ParseCrcText(bad, crc)) << Narrow(bad);
}
