#pragma once
// Runs the author's signing command for one program: through the command
// interpreter (so that a batch file, PATH and %VARIABLES% work as typed), with
// its output gathered for the message of a failure, and stopped with all it
// started when the author cancels.

#include <windows.h>

#include <string>

#include "support/Progress.h"

// What stands for the program's path in the command.
inline constexpr wchar_t kSignedFilePlaceholder[] = L"{file}";

// The command with each "{file}" replaced by the quoted path; a placeholder the
// author quoted already ("\"{file}\"") is not quoted twice.
std::wstring SigningCommandLine(const std::wstring& command, const std::wstring& path);

struct CommandRun {
  DWORD ExitCode = 0;
  std::wstring Output;  // standard output and error together, at most its last kKeptOutput units
};
inline constexpr size_t kKeptOutput = 4000;

// Runs `commandLine` with `cmd.exe /d /s /c` and waits for it, pumping
// messages through `progress` and asking it whether to stop: a stop ends the
// command and whatever it started, and raises OperationCancelled. Raises
// KovrinError when the interpreter cannot be started.
CommandRun RunSigningCommand(const std::wstring& commandLine, ProgressSink& progress);
