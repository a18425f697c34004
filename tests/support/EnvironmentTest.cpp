#include <gtest/gtest.h>

#include "TestUtil.h"
#include "support/Environment.h"
#include "support/QRegistry.h"

TEST(ExpandPathVariables, SetVariablesExpandOthersStay) {
  ScopedEnv pf(L"KovrinProgramFiles", L"C:\\Program Files");
  EXPECT_EQ(ExpandPathVariables(L"%KovrinProgramFiles%\\%CompanyName%"),
            L"C:\\Program Files\\%CompanyName%");
  // Environment names match without regard to case.
  EXPECT_EQ(ExpandPathVariables(L"%kovrinprogramfiles%\\x"), L"C:\\Program Files\\x");
}

TEST(ExpandPathVariables, PercentEdgeCases) {
  EXPECT_EQ(ExpandPathVariables(L"a%%b"), L"a%%b");
  EXPECT_EQ(ExpandPathVariables(L"a%b"), L"a%%b");  // lone sign: an empty name in its place
  EXPECT_EQ(ExpandPathVariables(L"no refs"), L"no refs");
  EXPECT_EQ(ExpandPathVariables(L""), L"");
}

TEST(ExpandPathVariables, OnePassOnly) {
  ScopedEnv inner(L"KovrinInner", L"%Temp%");
  EXPECT_EQ(ExpandPathVariables(L"x%KovrinInner%y"), L"x%Temp%y");
}

TEST(GetEnvVar, UnsetGivesEmpty) {
  EXPECT_EQ(GetEnvVar(L"KovrinSurelyUnset"), L"");
  ScopedEnv v(L"KovrinSet", L"value");
  EXPECT_EQ(GetEnvVar(L"kovrinset"), L"value");
}

// Runs InitPathVariables against a user shell-folder key prepared by the test,
// restoring the machine's own values afterwards.
class PathVariablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegCreateKeyExW(HKEY_CURRENT_USER, kShellFoldersKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key_, nullptr);
    for (const wchar_t* name : {L"Desktop", L"Personal", L"Start Menu", L"Startup"}) {
      Saved s;
      s.name = name;
      s.present = RegQueryValueExW(key_, name, nullptr, &s.type, nullptr, &s.size) == ERROR_SUCCESS;
      if (s.present) {
        s.data.resize(s.size);
        RegQueryValueExW(key_, name, nullptr, &s.type, s.data.data(), &s.size);
      }
      saved_.push_back(s);
    }
  }
  void TearDown() override {
    for (const Saved& s : saved_) {
      if (s.present)
        RegSetValueExW(key_, s.name.c_str(), 0, s.type, s.data.data(), s.size);
      else
        RegDeleteValueW(key_, s.name.c_str());
    }
    RegCloseKey(key_);
  }
  void Set(const wchar_t* name, const std::wstring& value, DWORD type = REG_EXPAND_SZ) {
    RegSetValueExW(key_, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * 2));
  }
  void Remove(const wchar_t* name) { RegDeleteValueW(key_, name); }

  struct Saved {
    std::wstring name;
    bool present = false;
    DWORD type = 0, size = 0;
    std::vector<BYTE> data;
  };
  HKEY key_ = nullptr;
  std::vector<Saved> saved_;
  RegistryScope registry_;
};

TEST_F(PathVariablesTest, FallbacksEmptyValuesAndWrongTypes) {
  const std::wstring profile = GetEnvVar(L"UserProfile");
  // The Windows folder is the machine's, whatever the caller's environment says.
  wchar_t system[MAX_PATH];
  const std::wstring windows(system, GetSystemWindowsDirectoryW(system, MAX_PATH));
  ASSERT_FALSE(windows.empty());
  const ScopedEnv systemRoot{L"SystemRoot", L"C:\\planted"};
  const ScopedEnv windir{L"windir", L"C:\\planted"};
  EXPECT_EQ(SystemWindowsFolder(), windows);
  EXPECT_EQ(ExpandPathVariables(L"%SystemRoot%\\a|%WINDIR%|%systemroot%"),
            windows + L"\\a|" + windows + L"|" + windows);
  Set(L"Desktop", L"%UserProfile%\\Desk");
  Remove(L"Startup");
  Set(L"Personal", L"");
  DWORD number = 7;
  RegSetValueExW(key_, L"Start Menu", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof number);

  InitPathVariables();
  const PathVariableTable& t = PathVariables();
  EXPECT_EQ(t.Desktop, profile + L"\\Desk");
  EXPECT_EQ(t.Startup, profile + L"\\Главное меню\\Программы\\Автозагрузка");
  EXPECT_EQ(t.Personal, L"");  // present but empty: no fallback
  // A value of another type is treated as missing instead of ending the program.
  EXPECT_EQ(t.StartMenu, profile + L"\\Главное меню");
  EXPECT_EQ(t.UserProfile, profile);
  EXPECT_EQ(t.SystemRoot, windows);
}
