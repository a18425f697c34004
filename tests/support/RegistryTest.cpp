#include <gtest/gtest.h>

#include <optional>

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
}

namespace {
std::wstring ReadFailure(const RegistryKey& key, const std::wstring& name, bool number) {
  try {
    if (number)
      key.ReadNumber(name);
    else
      key.ReadText(name);
  } catch (const KovrinError& e) {
    return e.Message();
  }
  return L"<read>";
}
}  // namespace

TEST(RegistryKey, WritesAndReadsBackTextAndNumbers) {
  ScratchKey scratch;
  const std::wstring path = scratch.Path() + L"\\Created\\Deeper";
  {
    RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(key);
    key.WriteText(L"Name", L"Программа 1.0");
    key.WriteText(L"Empty", L"");
    key.WriteNumber(L"Size", 0xFFFFFFFEu);
  }
  const RegistryKey key = RegistryKey::Open(HKEY_CURRENT_USER, path);
  ASSERT_TRUE(key);
  EXPECT_EQ(key.ReadText(L"Name"), std::optional<std::wstring>(L"Программа 1.0"));
  EXPECT_EQ(key.ReadText(L"Empty"), std::optional<std::wstring>(L""));
  EXPECT_EQ(key.ReadNumber(L"Size"), std::optional<DWORD>(0xFFFFFFFEu));
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, path, L"Name"), L"Программа 1.0");  // stored as REG_SZ

  EXPECT_EQ(key.ReadText(L"Missing"), std::nullopt);
  EXPECT_EQ(key.ReadNumber(L"Missing"), std::nullopt);
  EXPECT_EQ(ReadFailure(key, L"Size", false), L"Invalid data type for 'Size'");
  EXPECT_EQ(ReadFailure(key, L"Name", true), L"Invalid data type for 'Name'");
  std::wstring text = L"stale";
  DWORD type = REG_NONE;
  EXPECT_EQ(key.QueryText(L"Size", text, &type), ERROR_UNSUPPORTED_TYPE);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(text, L"");
}

TEST(RegistryKey, TextEndsAtItsFirstZeroOrWhereTheValueEnds) {
  ScratchKey scratch;
  RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, scratch.Path());
  const wchar_t unterminated[] = {L'a', L'b'};
  const wchar_t embedded[] = {L'a', L'\0', L'b', L'\0'};
  ASSERT_EQ(RegSetValueExW(key.Get(), L"Unterminated", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(unterminated), sizeof unterminated),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key.Get(), L"Embedded", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(embedded), sizeof embedded),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key.Get(), L"NoBytes", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  EXPECT_EQ(key.ReadText(L"Unterminated"), std::optional<std::wstring>(L"ab"));
  EXPECT_EQ(key.ReadText(L"Embedded"), std::optional<std::wstring>(L"a"));
  EXPECT_EQ(key.ReadText(L"NoBytes"), std::optional<std::wstring>(L""));
}

TEST(RegistryKey, DeletesValuesAndKeys) {
  ScratchKey scratch;
  const std::wstring path = scratch.Path() + L"\\Entry";
  RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, path);
  key.WriteText(L"Gone", L"x");
  key.WriteText(L"Kept", L"y");
  EXPECT_EQ(key.DeleteValue(L"Gone"), ERROR_SUCCESS);
  EXPECT_EQ(key.DeleteValue(L"Gone"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key.ReadText(L"Gone"), std::nullopt);
  EXPECT_EQ(key.ReadText(L"Kept"), std::optional<std::wstring>(L"y"));

  key = RegistryKey();
  EXPECT_EQ(RegistryKey::DeleteKey(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
  EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, path));
  EXPECT_EQ(RegistryKey::DeleteKey(HKEY_CURRENT_USER, path), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(RegistryKey::Open(HKEY_CURRENT_USER, scratch.Path()));
}

TEST(RegistryKey, RefusedWritesAndCreationsRaiseTheirMessages) {
  ScratchKey scratch;
  RegistryKey readOnly = RegistryKey::Open(HKEY_CURRENT_USER, scratch.Path());
  ASSERT_TRUE(readOnly);
  try {
    readOnly.WriteText(L"Name", L"x");
    ADD_FAILURE() << "wrote through a key opened for reading";
  } catch (const KovrinError& e) {
    EXPECT_EQ(e.Message(), L"Failed to set data for 'Name'");
  }
  EXPECT_EQ(RegistryKey::Open(HKEY_CURRENT_USER, scratch.Path()).ReadText(L"Name"), std::nullopt);

  // Below a volatile key only volatile keys may be made.
  RegKey volatileKey;
  ASSERT_EQ(
      RegCreateKeyExW(HKEY_CURRENT_USER, (scratch.Path() + L"\\Volatile").c_str(), 0, nullptr,
                      REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, volatileKey.Put(), nullptr),
      ERROR_SUCCESS);
  const std::wstring child = scratch.Path() + L"\\Volatile\\Child";
  try {
    RegistryKey::Create(HKEY_CURRENT_USER, child);
    ADD_FAILURE() << "created a lasting key below a volatile one";
  } catch (const KovrinError& e) {
    EXPECT_EQ(e.Message(), L"Failed to create key " + child);
  }
}
