#pragma once
// A package folder written by a test, as the designer's build leaves one:
// Setup.ini (Windows-1251), data.dat, Setup.dat and the uninstaller image.

#include <string>
#include <vector>

#include "TestUtil.h"
#include "setup/SetupState.h"
#include "support/ProfileFile.h"

struct PackageShortcut {
  std::wstring Name, SavePath, FileName, Params, FilePath;
};

class TestPackage {
 public:
  // An empty package to fill with AddFile and AddShortcut, then Write.
  TestPackage();
  // A package holding `script` as Setup.ini (none when empty) and `texts` as
  // Setup.dat (none when empty), written at once.
  explicit TestPackage(const std::wstring& script, const std::string& texts = {});

  // Adds a payload file of `size` pattern bytes and returns its content.
  const std::string& AddFile(const std::wstring& name, int64_t size);
  void AddShortcut(const PackageShortcut& shortcut);
  // Writes Setup.ini, data.dat and uninst.dat; `payloadCut` bytes are left off data.dat.
  void Write(int64_t payloadCut = 0);
  void WritePayload(const std::string& bytes) const;
  // The state start-up would leave: package folder, name and the counts.
  SetupState State() const;

  std::wstring Folder() const { return dir_.Path() + L"\\"; }  // with "\", as SetupState keeps it
  std::wstring InstallFolder() const { return dir_ / L"target"; }
  // A path in the test's folder, beside the package's files.
  std::wstring operator/(const std::wstring& name) const { return dir_ / name; }

  std::wstring programName;
  bool useUninstall = false;
  std::wstring windowsFolder;  // where State() sends the uninstaller; empty: the machine's
  bool withChecksums = false;  // FileCrc<n> for every file, as the designer writes them
  std::vector<std::string> contents;

 private:
  TempDir dir_;
  ProfileFile script_;
  int32_t files_ = 0;
  int32_t shortcuts_ = 0;
};

// A unique product name, so parallel tests never share a registry key.
std::wstring UniqueProgramName(const wchar_t* stem);

// %Temp% pointed at a fresh folder, so extracted texts land where the test looks.
class TempOverride {
 public:
  // TMP comes first where the system looks for the temporary folder.
  TempOverride() : env_(L"Temp", dir_.Path()), tmp_(L"TMP", dir_.Path()) {}
  const std::wstring& Path() const { return dir_.Path(); }

 private:
  TempDir dir_;
  ScopedEnv env_;
  ScopedEnv tmp_;
};
