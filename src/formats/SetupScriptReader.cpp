#include "formats/SetupScriptReader.h"

#include "formats/CrcText.h"
#include "formats/PackageError.h"
#include "formats/ScriptKeys.h"
#include "support/Strings.h"

bool ReadYesNo(const ProfileFile& profile, const wchar_t* section, const wchar_t* key) {
  return EqualNoCase(profile.ReadString(section, key, script::kNo), script::kYes);
}

bool ReadFlag(const ProfileFile& profile, const wchar_t* section, const wchar_t* key) {
  return TextToInt(profile.ReadString(section, key, L"0")) != 0;
}

int32_t ReadNumber(const ProfileFile& profile, const wchar_t* section, std::wstring_view key,
                   const wchar_t* defaultText) {
  return TextToInt(profile.ReadString(section, key, defaultText));
}

int32_t ReadNumber(const ProfileFile& profile, const wchar_t* section, std::wstring_view key,
                   int32_t defaultValue) {
  return ReadNumber(profile, section, key, IntToText(defaultValue).c_str());
}

namespace {
ScriptTextInfo ReadTextInfo(const ProfileFile& profile, const wchar_t* section) {
  using namespace script;
  ScriptTextInfo info;
  info.FontSize = ReadNumber(profile, section, kFontSize, info.FontSize);
  info.FontColor = ReadNumber(profile, section, kFontColor, info.FontColor);
  info.FontName = profile.ReadString(section, kFontName, info.FontName);
  info.Size = ReadNumber(profile, section, kSize, info.Size);
  info.IsRtf = EqualNoCase(profile.ReadString(section, kType, kRtf), kRtf);
  return info;
}
}  // namespace

SetupScriptValues ReadSetupScriptValues(const ProfileFile& profile) {
  using namespace script;
  SetupScriptValues v;
  v.InstallPath = profile.ReadString(kMain, kInstallPath, L"");
  v.ProgramName = profile.ReadString(kMain, kProgramName, v.ProgramName);
  v.CompanyName = profile.ReadString(kMain, kCompanyName, v.CompanyName);
  v.ProductVersion = profile.ReadString(kMain, kProductVersion, L"");
  v.ProductCode = profile.ReadString(kMain, kProductCode, L"");
  v.UseReadMe = ReadYesNo(profile, kMain, kUseReadMe);
  v.UseLicense = ReadYesNo(profile, kMain, kUseLicense);
  v.UseUninstall = ReadFlag(profile, kExtended, kUseUninstall);
  v.SummarySize = ReadNumber(profile, kOneData, kSummarySize, L"0");
  v.CountOfFiles = ReadNumber(profile, kOneData, kCountOfFiles, L"0");
  v.CountOfShortCuts = ReadNumber(profile, kOneShortCuts, kCountOfShortCuts, L"0");
  if (v.UseReadMe)
    v.ReadMe = ReadTextInfo(profile, kReadMe);
  if (v.UseLicense)
    v.License = ReadTextInfo(profile, kLicense);
  v.UseReboot = ReadFlag(profile, kExtended, kUseReboot);
  v.AskToReboot = ReadFlag(profile, kExtended, kAskToReboot);
  v.UseRun = ReadFlag(profile, kExtended, kUseRun);
  v.UseGoSite = ReadFlag(profile, kExtended, kUseGoSite);
  v.RunFileName = profile.ReadString(kExtended, kRunFileName, L"");
  v.SiteAddress = profile.ReadString(kExtended, kSiteAddress, L"");
  v.TextsCrc = profile.ReadString(kOneData, kTextsCrc, L"");
  return v;
}

Expected<ScriptFileRow> ReadFileRow(const ProfileFile& profile, int32_t n) {
  using namespace script;
  ScriptFileRow row;
  row.FileName = profile.ReadString(kOneFiles, NumberedKey(kFileName, n), L"");
  row.FileSize = ReadNumber(profile, kOneFiles, NumberedKey(kFileSize, n), L"");
  const NumberedKey crcKey(kFileCrc, n);
  if (profile.HasKey(kOneFiles, crcKey)) {
    const std::wstring text = profile.ReadString(kOneFiles, crcKey, L"");
    if (!ParseCrcText(text, row.Crc))
      return PackageFailure(L"Сценарий установки повреждён: значение " + std::wstring(crcKey) +
                            L"=" + text + L" не является контрольной суммой. Установка прервана.");
    row.HasCrc = true;
  }
  return row;
}

ScriptShortcutRow ReadShortcutRow(const ProfileFile& profile, int32_t n) {
  using namespace script;
  // The setup program reads this section under another spelling; names match without case.
  const wchar_t* section = L"One_Shortcuts";
  ScriptShortcutRow row;
  row.ShortCutName = profile.ReadString(section, NumberedKey(kShortCutName, n), L"");
  row.ShortCutSavePath = profile.ReadString(section, NumberedKey(kShortCutSavePath, n), L"");
  row.ShortCutFileName = profile.ReadString(section, NumberedKey(kShortCutFileName, n), L"");
  row.ShortCutParams = profile.ReadString(section, NumberedKey(kShortCutParams, n), L"");
  row.ShortCutFilePath = profile.ReadString(section, NumberedKey(kShortCutFilePath, n), L"");
  return row;
}
