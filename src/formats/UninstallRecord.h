#pragma once
// The uninstall record: Uninst.ini in the install folder, the program's entry in the
// machine's list of installed programs, and the command line that entry starts the
// uninstaller with. The setup program writes all three, the uninstaller reads them.

#include <string>
#include <string_view>

namespace uninstall {
inline constexpr wchar_t kScriptName[] = L"Uninst.ini";
// Finds every record of a folder (FindFirstFileW); IsRecordFileName keeps the real ones.
inline constexpr wchar_t kRecordPattern[] = L"Uninst*.ini";
inline constexpr wchar_t kFilesSection[] = L"Files";
inline constexpr wchar_t kFileCount[] = L"FileCount";
inline constexpr wchar_t kFileKey[] = L"File";  // File<n>: a file the install wrote
// Beside File<n>, what the install wrote there: its size and CRC-32 (CrcText).
// Records written before these keys have none. A reader of File<n> rows takes
// only keys whose rest is all digits, so these never read as file rows.
inline constexpr wchar_t kFileSizeKey[] = L"FileSize";
inline constexpr wchar_t kFileCrcKey[] = L"FileCrc";
// [Files] ProgramName: the product the record belongs to (the name its registry
// entry bears). Records written before it have none.
inline constexpr wchar_t kProductName[] = L"ProgramName";
inline constexpr wchar_t kShortCutsSection[] = L"ShortCuts";
inline constexpr wchar_t kShortCutKey[] = L"ShortCut";  // ShortCut<n>: a link it made
inline constexpr wchar_t kShortCutCount[] = L"Count";

// The uninstaller's name in the Windows folder, shared by every installed product.
inline constexpr wchar_t kUninstallerFileName[] = L"MVUninst.exe";

// Values of the registry entry, read by the system's list of installed programs.
inline constexpr wchar_t kDisplayName[] = L"DisplayName";
inline constexpr wchar_t kDisplayIcon[] = L"DisplayIcon";
inline constexpr wchar_t kUninstallString[] = L"UninstallString";
}  // namespace uninstall

// The record's file name: "Uninst.ini" for number 0, the record of a product alone
// in its folder; "Uninst<n>.ini" for the records of other products in that folder.
std::wstring RecordFileName(int number);
// True for "Uninst.ini" and "Uninst<digits>.ini", without regard to case.
bool IsRecordFileName(std::wstring_view name);

// The entry's key below HKEY_LOCAL_MACHINE: the uninstall list's key + the program name.
std::wstring UninstallRegistryKey(const std::wstring& programName);

// "\"<windows>\MVUninst.exe\",0"
std::wstring UninstallDisplayIcon(const std::wstring& windowsFolder);

// The registered command line: the uninstaller's path (unquoted, as it has always
// been registered, so a Windows folder with blanks splits it), then the quoted path
// of the record and the quoted program name.
// <windows>\MVUninst.exe "<install folder>\Uninst.ini" "<program name>"
std::wstring UninstallCommandLine(const std::wstring& windowsFolder, const std::wstring& recordPath,
                                  const std::wstring& programName);

struct UninstallCommand {
  std::wstring ScriptPath;
  std::wstring ProgramName;
};

// Reads a command line of that layout back: the last two arguments, whatever the
// uninstaller's own path split into. False when there are fewer than two.
bool ParseUninstallCommand(const wchar_t* commandLine, UninstallCommand& command);
