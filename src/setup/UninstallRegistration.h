#pragma once
// Places the uninstaller in the Windows folder and registers it in the machine's
// list of installed programs.

#include <string>

#include "support/Failure.h"

class InstallJournal;
struct SetupState;

// state.WindowsFolder when set, else the machine's (TrySystemWindowsFolder): never
// the environment's SystemRoot, which the user who starts the program controls.
Expected<std::wstring> WindowsFolder(const SetupState& state);

// Copies uninst.dat from the package to <windows>\MVUninst.exe, unless the one
// there is newer (several products share it; a package never brings back an
// older one), then writes DisplayName, DisplayIcon and UninstallString (naming
// state.UninstallScriptPath) under HKLM's uninstall key + ProgramName. The copy
// goes through a temporary file, so a failure leaves the old uninstaller whole;
// it fails as `Cannot create file "<windows>\MVUninst.exe". …`, a missing
// uninst.dat as a damaged package, the registry as "Failed to create key <key>"
// or "Failed to set data for '<value>'". `journal` learns how to take the entry and a newly placed
// uninstaller back.
Status RegisterUninstaller(const SetupState& state, InstallJournal& journal);

// The UninstallString registered for `programName`, or "" when there is none.
std::wstring RegisteredUninstallString(const std::wstring& programName);
