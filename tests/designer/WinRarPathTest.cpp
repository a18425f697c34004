#include <gtest/gtest.h>

#include "TestUtil.h"
#include "designer/WinRarPath.h"
#include "support/QRegistry.h"

TEST(FindWinRarPath, QuotedShortAndEmptyValuesAndAMissingKey) {
  ScratchKey key;
  const auto path = [&](const std::wstring& key) { return FindWinRarPath(HKEY_CURRENT_USER, key); };
  key.SetString(L"", L"\"C:\\Program Files\\WinRAR\\WinRAR.exe\" \"%1\"");
  EXPECT_EQ(path(key.Path()).Path, L"C:\\Program Files\\WinRAR\\WinRAR.exe");
  EXPECT_TRUE(path(key.Path()).Found);
  key.SetString(L"", L"abcde");
  EXPECT_EQ(path(key.Path()).Path, L"bcde");
  key.SetString(L"", L"");  // found, with an empty path
  EXPECT_TRUE(path(key.Path()).Found);
  EXPECT_EQ(path(key.Path()).Path, L"");

  ScratchKey noValue;  // the key exists without a default value: found, empty
  EXPECT_TRUE(path(noValue.Path()).Found);
  EXPECT_EQ(path(noValue.Path()).Path, L"");
  EXPECT_FALSE(path(key.Path() + L"\\absent").Found);
  EXPECT_EQ(path(key.Path() + L"\\absent").Path, L"");
}

TEST(CutWinRarCommand, TheExactRule) {
  EXPECT_EQ(CutWinRarCommand(L"\"X\" \"%1\""), L"X");
  EXPECT_EQ(CutWinRarCommand(L"1234567"), L"");      // six left after the first cut: all go
  EXPECT_EQ(CutWinRarCommand(L"123456"), L"23456");  // five left: nothing more is cut
  EXPECT_EQ(CutWinRarCommand(L"x"), L"");
}
