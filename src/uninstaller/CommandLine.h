#pragma once
// The uninstaller's command line: the registered one, "<windows>\MVUninst.exe
// "<record>" "<program name>"", with the switches /S (no message box at all),
// /LOG=<file> and /REBOOTOK (a file in use is removed at the next restart)
// before the two quoted arguments or after them. The record and the
// program name are the last two arguments that are not switches.

#include <string>

#include "formats/UninstallRecord.h"

struct UninstallerCommandLine {
  bool Silent = false;
  std::wstring LogPath;  // empty: no log
  bool RebootOk = false;
  UninstallCommand Command;
  bool Ok = false;  // false when the record or the program name is missing, or /LOG= is empty
};

UninstallerCommandLine ParseUninstallerCommandLine(const wchar_t* commandLine);

// Exit codes: everything the record lists is gone; something was kept (a changed
// file, a file in use, a key it may not delete); the user said no; the command
// line lacks its arguments; the record could not be read (or anything else
// went wrong before the removal could say what it did); everything is gone or
// goes when Windows restarts (/REBOOTOK only).
inline constexpr int kUninstallComplete = 0;
inline constexpr int kUninstallDeclined = 1;
inline constexpr int kUninstallUnreadableRecord = 2;
inline constexpr int kUninstallBadCommandLine = 4;
inline constexpr int kUninstallSomethingKept = 5;
inline constexpr int kUninstallRestartToFinish = 3010;
