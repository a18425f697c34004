#pragma once
// The setup program's state: the package folder, the script's values and the
// lists read when the install begins. Lists are 1-based like the script's keys.

#include <cstdint>
#include <string>
#include <vector>

#include "setup/ShortCuts.h"
#include "support/ProfileFile.h"

struct ScriptFont {
  std::wstring Name = L"Arial";
  int32_t Size = 12;  // points
  int32_t Color = 0;  // 0x00BBGGRR, or 0xFF0000nn for system colour nn
};

struct InstallFile {
  std::wstring FileName;  // relative to the install folder, as the script gives it
  int64_t FileSize = 0;
  bool HasCrc = false;  // the script's FileCrc<n>; older packages have none
  uint32_t Crc = 0;
};

class InstallObserver;

struct SetupState {
  std::wstring PackageFolder;  // with its trailing "\"
  std::wstring InstallPath;    // as read; the chosen folder once the install starts
  std::wstring ProgramName = L"!!!ProgramName!!!";
  std::wstring CompanyName = L"!!!CompanyName!!!";
  std::wstring ProductVersion;  // [Main] ProductVersion; empty in older scripts
  std::wstring RunFileName;
  std::wstring SiteAddress;
  std::wstring TempFolder;  // holds readme.dat and license.dat; empty when no text is used
  std::wstring TextsCrc;    // the script's TextsCrc as written; empty when it has none
  // Why the package may not be installed (Setup.dat did not check out); empty if it may.
  std::wstring PackageDamage;
  bool UseReadMe = false;
  bool UseLicense = false;
  bool ReadMeIsRtf = true;
  bool LicenseIsRtf = true;
  bool UseReboot = false;
  bool AskToReboot = false;
  bool UseRun = false;
  bool UseGoSite = false;
  bool UseUninstall = false;
  bool Installed = false;
  int32_t CountOfFiles = 0;
  int32_t CountOfShortCuts = 0;
  int32_t ReadMeSize = 0;
  int32_t LicenseSize = 0;
  int64_t SummarySize = 0;
  int32_t CurrentPage = 0;
  ScriptFont ReadMeFont;
  ScriptFont LicenseFont;
  ProfileFile UninstallScript;       // the record (Uninst.ini) while the install runs
  std::wstring UninstallScriptPath;  // its full path: Uninst.ini, or Uninst<n>.ini
  // The install folder as the record holds it: InstallPath, or its short (8.3)
  // form when Windows-1251 cannot hold InstallPath.
  std::wstring RecordedInstallPath;
  std::vector<TShortCut> ShortcutList;  // positions 1..CountOfShortCuts; 0 unused
  std::vector<InstallFile> FileList;    // positions 1..CountOfFiles; 0 unused
  InstallObserver* Observer = nullptr;  // told of each thing the install writes; may be null
};
