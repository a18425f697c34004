#pragma once
// The setup program's switches: /S (silent), /D=<folder> (the install folder, the
// last switch, taking the rest of the line with its blanks), /LOG=<file> and
// /REBOOTOK (files in use are replaced at the next restart),
// /ALLOWDOWNGRADE (an older version may replace a newer one).
// Case-insensitive, in any order; anything else is refused with the list of
// switches. Without arguments the program runs as it always has.

#include <string>
#include <string_view>

struct SetupCommandLine {
  bool Silent = false;
  bool HasInstallFolder = false;
  std::wstring InstallFolder;  // /D=, quotes around it removed
  bool HasLog = false;
  std::wstring LogPath;         // /LOG=, quotes removed
  bool RebootOk = false;        // /REBOOTOK
  bool AllowDowngrade = false;  // /ALLOWDOWNGRADE
  // Empty when the line is sound; else what is wrong with it. The switches read
  // before the fault (and /S anywhere) are still filled in, so that the fault
  // reaches the log and no box is shown to a silent run.
  std::wstring Problem;

  bool Ok() const { return Problem.empty(); }
  bool Empty() const {
    return !Silent && !HasInstallFolder && !HasLog && !RebootOk && !AllowDowngrade && Ok();
  }
};

// What follows the program's own name on a Windows command line (the name is
// quoted or ends at the first blank), without the blanks that lead it.
std::wstring_view ArgumentsOf(std::wstring_view commandLine);

SetupCommandLine ParseSetupArguments(std::wstring_view arguments);

// Shown, logged and written to the console when the line is refused.
inline constexpr wchar_t kSetupSwitchList[] =
    L"Ключи программы установки:\r\n"
    L"  /S — установка без окон и вопросов;\r\n"
    L"  /D=ПАПКА — папка установки вместо предложенной (последним ключом, можно с пробелами);\r\n"
    L"  /LOG=ФАЙЛ — журнал установки (UTF-8);\r\n"
    L"  /REBOOTOK — файлы, занятые другими программами, заменить при перезагрузке (код 3010);\r\n"
    L"  /ALLOWDOWNGRADE — установить эту версию, даже если установлена более новая.";
