#include <gtest/gtest.h>

#include <string>

#include "sfx/CommandLine.h"

TEST(SelfExtractorCommandLine, PassesEverythingAfterTheProgramNameVerbatim) {
  EXPECT_EQ(std::wstring(ArgumentsAfterProgramName(L"Setup.exe")), L"");
  EXPECT_EQ(std::wstring(ArgumentsAfterProgramName(L"Setup.exe /S")), L"/S");
  EXPECT_EQ(std::wstring(ArgumentsAfterProgramName(L"\"C:\\My Setup\\Setup.exe\"")), L"");
  EXPECT_EQ(std::wstring(ArgumentsAfterProgramName(
                L"\"C:\\My Setup\\Setup.exe\"  /S /D=C:\\Program Files\\Ковёр  /LOG=\"a b.txt\"")),
            L"/S /D=C:\\Program Files\\Ковёр  /LOG=\"a b.txt\"");
  // A quoted program name followed at once by an argument, as the system allows.
  EXPECT_EQ(std::wstring(ArgumentsAfterProgramName(L"\"Setup.exe\"/S")), L"/S");
  EXPECT_EQ(std::wstring(ArgumentsAfterProgramName(L"C:\\Setup.exe\t/x")), L"/x");
}

TEST(SelfExtractorCommandLine, SilentSwitchIsAWholeWordWithoutItsQuotes) {
  EXPECT_TRUE(HasSilentSwitch(L"/S"));
  EXPECT_TRUE(HasSilentSwitch(L"/s"));
  EXPECT_TRUE(HasSilentSwitch(L"/D=C:\\x /S /LOG=y"));
  EXPECT_TRUE(HasSilentSwitch(L"\t/S\t"));
  EXPECT_FALSE(HasSilentSwitch(L""));
  EXPECT_FALSE(HasSilentSwitch(L"/SILENT"));
  EXPECT_FALSE(HasSilentSwitch(L"/D=C:\\S"));
  // Quotes are dropped from a word, as the setup program drops them.
  EXPECT_TRUE(HasSilentSwitch(L"\"/S\""));
  EXPECT_TRUE(HasSilentSwitch(L"/LOG=x \"/s\" "));
  EXPECT_TRUE(HasSilentSwitch(L"/\"S\""));
  EXPECT_FALSE(HasSilentSwitch(L"\"/S x\""));
  EXPECT_FALSE(HasSilentSwitch(L"\"/S\"x"));
  EXPECT_FALSE(HasSilentSwitch(L"\"\"\"\""));
  EXPECT_FALSE(HasSilentSwitch(L"/LOG=\"a /S b\""));
}
