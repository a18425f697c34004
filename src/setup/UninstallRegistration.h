#pragma once
// Places the uninstaller in the Windows folder and registers it in the machine's
// list of installed programs.

#include <string>

struct SetupState;

// "%systemroot%" through the setup expansion: the SystemRoot environment variable.
std::wstring WindowsFolder(const SetupState& state);

// Copies uninst.dat from the package to <windows>\MVUninst.exe (a failed copy is
// not an error: several products share the file) and writes DisplayName,
// DisplayIcon and UninstallString under HKLM's uninstall key + ProgramName.
// Raises "Failed to create key <key>" or "Failed to set data for '<value>'".
void RegisterUninstaller(const SetupState& state);
