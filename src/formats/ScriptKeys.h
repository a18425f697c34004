#pragma once
// Section and key names of the setup script, shared by its writer and its readers.

#include <cstdint>
#include <string_view>

namespace script {
inline constexpr wchar_t kMain[] = L"Main";
inline constexpr wchar_t kOneData[] = L"One_Data";
inline constexpr wchar_t kOneFiles[] = L"One_Files";
inline constexpr wchar_t kReadMe[] = L"ReadMe";
inline constexpr wchar_t kLicense[] = L"License";
inline constexpr wchar_t kOneShortCuts[] = L"One_ShortCuts";
inline constexpr wchar_t kExtended[] = L"Extended";

inline constexpr wchar_t kInstallPath[] = L"InstallPath";
inline constexpr wchar_t kProgramName[] = L"ProgramName";
inline constexpr wchar_t kCompanyName[] = L"CompanyName";
// Written only when the project names a version; scripts without it read as "".
inline constexpr wchar_t kProductVersion[] = L"ProductVersion";
// The product's identity across versions (ProductCode.h); packages built before
// it have none and upgrade by ProgramName.
inline constexpr wchar_t kProductCode[] = L"ProductCode";
inline constexpr wchar_t kSetupLanguage[] = L"SetupLanguage";
inline constexpr wchar_t kExpended[] = L"Expended";
inline constexpr wchar_t kUseReadMe[] = L"UseReadMe";
inline constexpr wchar_t kUseLicense[] = L"UseLicense";

inline constexpr wchar_t kSummarySize[] = L"SummarySize";
inline constexpr wchar_t kCountOfFiles[] = L"CountOfFiles";
inline constexpr wchar_t kFileName[] = L"FileName";
inline constexpr wchar_t kFileSize[] = L"FileSize";
// FileCrc<n>: CRC-32 of file n (CrcText); TextsCrc: of Setup.dat, when there is one.
// Packages built before these keys have none, and install without the check.
inline constexpr wchar_t kFileCrc[] = L"FileCrc";
inline constexpr wchar_t kTextsCrc[] = L"TextsCrc";

inline constexpr wchar_t kType[] = L"Type";
inline constexpr wchar_t kFontSize[] = L"FontSize";
inline constexpr wchar_t kFontColor[] = L"FontColor";
inline constexpr wchar_t kFontName[] = L"FontName";
inline constexpr wchar_t kSize[] = L"Size";

inline constexpr wchar_t kCountOfShortCuts[] = L"CountOfShortCuts";
inline constexpr wchar_t kShortCutName[] = L"ShortCutName";
inline constexpr wchar_t kShortCutSavePath[] = L"ShortCutSavePath";
inline constexpr wchar_t kShortCutFileName[] = L"ShortCutFileName";
inline constexpr wchar_t kShortCutParams[] = L"ShortCutParams";
inline constexpr wchar_t kShortCutFilePath[] = L"ShortCutFilePath";

inline constexpr wchar_t kUseReboot[] = L"UseReboot";
inline constexpr wchar_t kAskToReboot[] = L"AskToReboot";
inline constexpr wchar_t kUseRun[] = L"UseRun";
inline constexpr wchar_t kUseGoSite[] = L"UseGoSite";
inline constexpr wchar_t kUseUninstall[] = L"UseUninstall";
inline constexpr wchar_t kRunFileName[] = L"RunFileName";
inline constexpr wchar_t kSiteAddress[] = L"SiteAddress";

inline constexpr wchar_t kYes[] = L"Yes";
inline constexpr wchar_t kNo[] = L"No";
inline constexpr wchar_t kRtf[] = L"rtf";
inline constexpr wchar_t kTxt[] = L"txt";

// File names inside the build folder and the package.
inline constexpr wchar_t kScriptFile[] = L"Setup.ini";
inline constexpr wchar_t kPayloadFile[] = L"data.dat";
inline constexpr wchar_t kTextsFile[] = L"Setup.dat";
inline constexpr wchar_t kUninstallerImage[] = L"uninst.dat";
inline constexpr wchar_t kSavedReadMe[] = L"_zreadme.dat";
inline constexpr wchar_t kSavedLicense[] = L"_zlicense.dat";
inline constexpr wchar_t kExtractedReadMe[] = L"readme.dat";
inline constexpr wchar_t kExtractedLicense[] = L"license.dat";
// The output folder and the archive list spell the texts and the script in lower
// case; names compare without case, so the setup program finds them as above.
inline constexpr wchar_t kPublishedTextsFile[] = L"setup.dat";
inline constexpr wchar_t kListedScriptFile[] = L"setup.ini";
// The setup program's image as it ships beside the designer; every package holds
// a copy of it under the project's SetupFileName.
inline constexpr wchar_t kLauncherImage[] = L"Kovrin.dat";

// A numbered key such as "FileName12" built on the stack: scripts hold a
// hundred thousand of them, and every heap string costs more than the lookup.
class NumberedKey {
 public:
  NumberedKey(std::wstring_view stem, int32_t n) {
    size_ = stem.copy(text_, kMaxStem);
    wchar_t digits[12];
    size_t count = 0;
    int64_t value = n;
    if (value < 0) {
      text_[size_++] = L'-';
      value = -value;
    }
    do {
      digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
      value /= 10;
    } while (value);
    while (count) text_[size_++] = digits[--count];
  }
  operator std::wstring_view() const { return {text_, size_}; }

 private:
  static constexpr size_t kMaxStem = 32;
  wchar_t text_[kMaxStem + 12];
  size_t size_;
};
}  // namespace script
