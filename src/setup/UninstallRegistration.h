#pragma once
// Places the uninstaller in the Windows folder and registers it in the machine's
// list of installed programs.

#include <string>

struct SetupState;

inline constexpr wchar_t kUninstallKeyBase[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr wchar_t kUninstallerFileName[] = L"MVUninst.exe";

// "%systemroot%" through the setup expansion: the SystemRoot environment variable.
std::wstring WindowsFolder(const SetupState& state);

// "\"<windows>\MVUninst.exe\",0"
std::wstring UninstallDisplayIcon(const std::wstring& windowsFolder);
// <windows>\MVUninst.exe "<install folder>\Uninst.ini" "<program name>"
std::wstring UninstallCommandLine(const std::wstring& windowsFolder,
                                  const std::wstring& installPath, const std::wstring& programName);

// Copies uninst.dat from the package to <windows>\MVUninst.exe (a failed copy is
// not an error: several products share the file) and writes DisplayName,
// DisplayIcon and UninstallString under HKLM's uninstall key + ProgramName.
// Raises "Failed to create key <key>" or "Failed to set data for '<value>'".
void RegisterUninstaller(const SetupState& state);
