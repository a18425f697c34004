#include <gtest/gtest.h>

#include "TestUtil.h"
#include "support/Error.h"
#include "support/QRegistry.h"

TEST(ReadRegString, DefaultsEmptyValuesAndTypes) {
  ScratchKey key;
  key.SetString(L"Text", L"C:\\Путь");
  key.SetString(L"Expand", L"%UserProfile%\\x", REG_EXPAND_SZ);
  key.SetString(L"Empty", L"");
  key.SetDword(L"Number", 5);
  QRegistry registry;
  EXPECT_EQ(registry.ReadRegString(HKEY_CURRENT_USER, key.Path(), L"Text", L"d"), L"C:\\Путь");
  EXPECT_EQ(registry.ReadRegString(HKEY_CURRENT_USER, key.Path(), L"Expand", L"d"),
            L"%UserProfile%\\x");
  EXPECT_EQ(registry.ReadRegString(HKEY_CURRENT_USER, key.Path(), L"Empty", L"d"), L"");
  EXPECT_EQ(registry.ReadRegString(HKEY_CURRENT_USER, key.Path(), L"Missing", L"d"), L"d");
  EXPECT_EQ(registry.ReadRegString(HKEY_CURRENT_USER, key.Path() + L"\\Nope", L"Text", L"d"), L"d");
  try {
    registry.ReadRegString(HKEY_CURRENT_USER, key.Path(), L"Number", L"d");
    FAIL() << "a DWORD value must be rejected";
  } catch (const KovrinError& e) {
    EXPECT_EQ(e.Message(), L"Invalid data type for 'Number'");
  }
  EXPECT_EQ(registry.RootKey(), HKEY_CURRENT_USER);
}
