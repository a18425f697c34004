#include <gtest/gtest.h>

#include "TestUtil.h"
#include "designer/WinRarPath.h"
#include "support/QRegistry.h"

TEST(FindWinRarPath, CutsTheQuotedCommandToThePath) {
  ScratchKey key;
  key.SetString(L"", L"\"C:\\Program Files\\WinRAR\\WinRAR.exe\" \"%1\"");
  WinRarLookup lookup = FindWinRarPath(HKEY_CURRENT_USER, key.Path());
  EXPECT_TRUE(lookup.Found);
  EXPECT_EQ(lookup.Path, L"C:\\Program Files\\WinRAR\\WinRAR.exe");
}

TEST(FindWinRarPath, ShortAndEmptyValuesAndAMissingKey) {
  ScratchKey key;
  key.SetString(L"", L"abcde");
  EXPECT_EQ(FindWinRarPath(HKEY_CURRENT_USER, key.Path()).Path, L"bcde");

  key.SetString(L"", L"");
  WinRarLookup empty = FindWinRarPath(HKEY_CURRENT_USER, key.Path());
  EXPECT_TRUE(empty.Found);  // found, with an empty path
  EXPECT_EQ(empty.Path, L"");

  ScratchKey noValue;  // the key exists without a default value: found, empty
  WinRarLookup unnamed = FindWinRarPath(HKEY_CURRENT_USER, noValue.Path());
  EXPECT_TRUE(unnamed.Found);
  EXPECT_EQ(unnamed.Path, L"");

  WinRarLookup missing = FindWinRarPath(HKEY_CURRENT_USER, key.Path() + L"\\absent");
  EXPECT_FALSE(missing.Found);
  EXPECT_EQ(missing.Path, L"");
}

TEST(CutWinRarCommand, TheExactRule) {
  EXPECT_EQ(CutWinRarCommand(L"\"X\" \"%1\""), L"X");
  EXPECT_EQ(CutWinRarCommand(L"1234567"), L"");  // six left after the first cut: all go
  EXPECT_EQ(CutWinRarCommand(L"123456"), L"23456");  // five left: nothing more is cut
  EXPECT_EQ(CutWinRarCommand(L"x"), L"");
}
