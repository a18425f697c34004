#pragma once
// The uninstall record: Uninst.ini in the install folder, the program's entry in the
// machine's list of installed programs, and the command line that entry starts the
// uninstaller with. The setup program writes all three, the uninstaller reads them.

#include <string>

namespace uninstall {
inline constexpr wchar_t kScriptName[] = L"Uninst.ini";
inline constexpr wchar_t kFilesSection[] = L"Files";
inline constexpr wchar_t kFileCount[] = L"FileCount";
inline constexpr wchar_t kFileKey[] = L"File";  // File<n>: a file the install wrote
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

// The entry's key below HKEY_LOCAL_MACHINE: the uninstall list's key + the program name.
std::wstring UninstallRegistryKey(const std::wstring& programName);

// "\"<windows>\MVUninst.exe\",0"
std::wstring UninstallDisplayIcon(const std::wstring& windowsFolder);

// The registered command line: the uninstaller's path (unquoted, as it has always
// been registered, so a Windows folder with blanks splits it), then the quoted path
// of Uninst.ini and the quoted program name.
// <windows>\MVUninst.exe "<install folder>\Uninst.ini" "<program name>"
std::wstring UninstallCommandLine(const std::wstring& windowsFolder,
                                  const std::wstring& installPath, const std::wstring& programName);

struct UninstallCommand {
  std::wstring ScriptPath;
  std::wstring ProgramName;
};

// Reads a command line of that layout back: the last two arguments, whatever the
// uninstaller's own path split into. False when there are fewer than two.
bool ParseUninstallCommand(const wchar_t* commandLine, UninstallCommand& command);
