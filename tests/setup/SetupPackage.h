#pragma once
// Packages written by the setup tests: a folder with Setup.ini (written in
// Windows-1251 like the designer's) and, when asked, Setup.dat; plus a scope
// that points %Temp% at a test folder.

#include <string>

#include "TestUtil.h"
#include "setup/SetupState.h"
#include "support/CodePage.h"

// A package folder holding `script` as Setup.ini; `texts` as Setup.dat unless empty.
class TestPackage {
public:
  explicit TestPackage(const std::wstring& script, const std::string& texts = {}) {
    if (!script.empty())
      WriteTextFile(dir_ / L"Setup.ini", ToCp1251(script));
    if (!texts.empty())
      WriteTextFile(dir_ / L"Setup.dat", texts);
  }
  // The package folder with its trailing "\", as SetupState keeps it.
  std::wstring Folder() const { return dir_.Path() + L"\\"; }
  std::wstring operator/(const std::wstring& name) const { return dir_ / name; }
  SetupState State() const {
    SetupState state;
    state.PackageFolder = Folder();
    return state;
  }

private:
  TempDir dir_;
};

// Sets an environment variable for the test's lifetime and restores the old value.
class EnvironmentOverride {
public:
  EnvironmentOverride(std::wstring name, const std::wstring& value) : name_(std::move(name)) {
    wchar_t old[4096];
    DWORD n = GetEnvironmentVariableW(name_.c_str(), old, 4096);
    had_ = n > 0 && n < 4096;
    if (had_)
      old_.assign(old, n);
    SetEnvironmentVariableW(name_.c_str(), value.c_str());
  }
  ~EnvironmentOverride() { SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr); }
  EnvironmentOverride(const EnvironmentOverride&) = delete;
  EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
  std::wstring name_, old_;
  bool had_ = false;
};

// %Temp% pointed at a fresh folder, so extracted texts land where the test looks.
class TempOverride {
public:
  TempOverride() : env_(L"Temp", dir_.Path()) {}
  const std::wstring& Path() const { return dir_.Path(); }

private:
  TempDir dir_;
  EnvironmentOverride env_;
};
