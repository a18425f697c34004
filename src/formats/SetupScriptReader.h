#pragma once
// The reading side of the setup script: defaults and conversions shared by the
// setup program's start-up and install steps.

#include <cstdint>
#include <string>

#include "support/ProfileFile.h"

// [Main] flags: true when the value equals "Yes" without regard to Latin case.
bool ReadYesNo(const ProfileFile& profile, const wchar_t* section, const wchar_t* key);
// [Extended] flags: any non-zero integer is true; missing or not a number is false.
bool ReadFlag(const ProfileFile& profile, const wchar_t* section, const wchar_t* key);
// A number read with TextToInt; `defaultText` when the key is missing.
int32_t ReadNumber(const ProfileFile& profile, const wchar_t* section, std::wstring_view key,
                   const wchar_t* defaultText);
int32_t ReadNumber(const ProfileFile& profile, const wchar_t* section, std::wstring_view key,
                   int32_t defaultValue);

// The information or licence text of a script: its font for plain text, its
// size in Setup.dat and its kind.
struct ScriptTextInfo {
  std::wstring FontName = L"Arial";
  int32_t FontSize = 12;  // points
  int32_t FontColor = 0;  // 0x00BBGGRR, or 0xFF0000nn for system colour nn
  int32_t Size = 0;
  bool IsRtf = true;
};

// The single values of a script. The defaults written here are the ones a
// missing key reads as.
struct SetupScriptValues {
  std::wstring InstallPath;
  std::wstring ProgramName = L"!!!ProgramName!!!";
  std::wstring CompanyName = L"!!!CompanyName!!!";
  std::wstring ProductVersion;  // empty when the script names none
  std::wstring ProductCode;     // empty in packages built before it; as written otherwise
  bool UseReadMe = false;
  bool UseLicense = false;
  bool UseUninstall = false;
  int64_t SummarySize = 0;  // read as 32 bits and widened with its sign
  int32_t CountOfFiles = 0;
  int32_t CountOfShortCuts = 0;
  // Filled only when the text is used: an unused one keeps the defaults, size 0.
  ScriptTextInfo ReadMe;
  ScriptTextInfo License;
  bool UseReboot = false;
  bool AskToReboot = false;
  bool UseRun = false;
  bool UseGoSite = false;
  std::wstring RunFileName;
  std::wstring SiteAddress;
  std::wstring TextsCrc;  // [One_Data] TextsCrc as written; empty when the script has none
};

SetupScriptValues ReadSetupScriptValues(const ProfileFile& profile);

struct ScriptFileRow {
  std::wstring FileName;  // relative to the install folder, as the script gives it
  int64_t FileSize = 0;   // 32-bit signed, widened
  bool HasCrc = false;    // FileCrc<n> present (packages built before it have none)
  uint32_t Crc = 0;
};

struct ScriptShortcutRow {
  std::wstring ShortCutName;
  std::wstring ShortCutSavePath;
  std::wstring ShortCutFileName;
  std::wstring ShortCutParams;
  std::wstring ShortCutFilePath;
};

// Row n (from 1) of [One_Files]; missing keys read as an empty name of size 0.
// A FileCrc<n> that is not eight hexadecimal digits is a damaged package.
Expected<ScriptFileRow> ReadFileRow(const ProfileFile& profile, int32_t n);
// Row n (from 1) of the shortcut section, read under the spelling "One_Shortcuts".
ScriptShortcutRow ReadShortcutRow(const ProfileFile& profile, int32_t n);
