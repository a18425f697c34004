#pragma once
// The values of the uninstall entry beyond its name, icon and command that the
// system's list of installed programs and deployment tools read, and the switches
// of the uninstaller's command line. The setup program writes them; the
// uninstaller and the tests read them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace uninstall {
inline constexpr wchar_t kDisplayVersion[] = L"DisplayVersion";    // REG_SZ, the product's version
inline constexpr wchar_t kPublisher[] = L"Publisher";              // REG_SZ, the company name
inline constexpr wchar_t kInstallLocation[] = L"InstallLocation";  // REG_SZ, the install folder
inline constexpr wchar_t kInstallDate[] = L"InstallDate";          // REG_SZ, YYYYMMDD, local date
inline constexpr wchar_t kEstimatedSize[] = L"EstimatedSize";      // REG_DWORD, kilobytes
inline constexpr wchar_t kQuietUninstallString[] = L"QuietUninstallString";  // REG_SZ
inline constexpr wchar_t kNoModify[] = L"NoModify";                          // REG_DWORD 1
inline constexpr wchar_t kNoRepair[] = L"NoRepair";                          // REG_DWORD 1
// REG_SZ, the product's identity across versions (ProductCode.h); written only
// when the package has one.
inline constexpr wchar_t kProductCode[] = L"ProductCode";
// REG_SZ, the folders the install made its links in, joined by '|', which no
// folder name holds. A recorded link is removed only from one of them: the
// record may have been edited by anyone who can write to the install folder,
// the entry only by an administrator. Entries written before it have none.
inline constexpr wchar_t kLinkFolders[] = L"LinkFolders";

// The uninstaller's switches: no message box at all, and a log file.
inline constexpr wchar_t kSilentSwitch[] = L"/S";
inline constexpr wchar_t kLogSwitch[] = L"/LOG=";
}  // namespace uninstall

// The registered command with the silent switch after its two quoted arguments.
std::wstring QuietUninstallCommand(const std::wstring& uninstallString);

// "YYYYMMDD" of a date.
std::wstring InstallDateText(int year, int month, int day);

// Kilobytes, rounded up, capped at the largest value a REG_DWORD holds; 0 for
// nothing or a negative count.
uint32_t EstimatedSizeKb(int64_t bytes);

// The LinkFolders value for the links at `linkPaths`: the folder of each, in
// its long full form, each folder once.
std::wstring LinkFoldersValue(const std::vector<std::wstring>& linkPaths);
// The folders of a LinkFolders value; empty parts are dropped.
std::vector<std::wstring> SplitLinkFolders(std::wstring_view value);

// Why a program name cannot name its uninstall entry, or empty when it can:
// a '"' would split the registered command line (the uninstall would then
// delete another key), a '\' would make a nested key. The designer's build and
// the setup program refuse such a name with this text.
std::wstring ProgramNameProblem(const std::wstring& name);
