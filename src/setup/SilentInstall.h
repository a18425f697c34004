#pragma once
// The install of /S: no window, no message box, no question. The package is read
// and checked as the window would read it, then installed through the same
// engine with the script's choices: the install folder of /D=, else the folder
// of the installed version it upgrades, else the script's;
// every shortcut of the script (nobody is there to untick a box), and none of the
// finishing actions (no program started, no site opened, no restart).

#include <string>

#include "setup/CommandLine.h"

class InstallLog;

struct SilentOutcome {
  int ExitCode = 0;     // SetupExitCode
  std::wstring Reason;  // empty when installed
};

// Installs the package in `packageFolder` (with its trailing "\"). A missing
// script, damaged texts, a missing data.dat or rows that CheckFileRows refuses
// are a bad package (2) before anything is written, and so are a newer version
// installed (6, unless line.AllowDowngrade) and another product's entry under
// the name (7); the install's own failures map through InstallExitCode. A
// target in use stops it (5) unless /REBOOTOK lets it be replaced at the next
// restart (3010).
// `log` hears the install's events (nothing else follows them); the caller
// writes the result line. `windowsFolder` receives the uninstaller; empty for
// the machine's Windows folder.
SilentOutcome RunSilentInstall(const std::wstring& packageFolder, const SetupCommandLine& line,
                               InstallLog& log, const std::wstring& windowsFolder = {});
