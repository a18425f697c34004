#pragma once
// What the uninstaller writes to the log of /LOG=<file>, and its exit code.

#include "support/LogFile.h"
#include "uninstaller/UninstallEngine.h"

// 0 when everything the record lists is gone, 5 when something was kept.
int UninstallExitCode(const UninstallResult& result);

// One line for each thing kept and each folder left, then the result line.
void LogUninstallResult(LogFile& log, const UninstallResult& result);
