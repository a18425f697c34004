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

// %Temp% pointed at a fresh folder, so extracted texts land where the test looks.
class TempOverride {
public:
  TempOverride() : env_(L"Temp", dir_.Path()) {}
  const std::wstring& Path() const { return dir_.Path(); }

private:
  TempDir dir_;
  ScopedEnv env_;
};
