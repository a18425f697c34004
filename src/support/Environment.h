#pragma once
// %Name% path references resolved against the machine: the environment and the
// table of well-known folders built once at start-up.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Value of one environment variable; empty when unset.
std::wstring GetEnvVar(const std::wstring& name);

// The machine's Windows folder (GetSystemWindowsDirectoryW), never the
// environment's SystemRoot or windir, which whoever starts the program sets.
std::wstring SystemWindowsFolder();
// The same; nullopt when the system does not give it.
std::optional<std::wstring> TrySystemWindowsFolder();

// One pass over `text`: the characters between a "%" and the next "%" (empty for
// a lone "%") are handed to `substitute`, which appends their replacement; all
// other characters are copied. Inserted text is never scanned again.
std::wstring ReplaceReferences(
    std::wstring_view text,
    const std::function<void(std::wstring_view name, std::wstring& output)>& substitute);

// One pass over the text: each %Name% naming a set environment variable becomes
// its value, %SystemRoot% and %windir% the SystemWindowsFolder; any other
// reference stays as written. Inserted values are not rescanned.
std::wstring ExpandPathVariables(std::wstring_view text);

struct PathVariableTable {
  std::wstring AllUsersProfile;
  std::wstring AppData;
  std::wstring CommonProgramFiles;
  std::wstring ComputerName;
  std::wstring Desktop;
  std::wstring HomeDrive;
  std::wstring Personal;
  std::wstring ProgramFiles;
  std::wstring StartMenu;
  std::wstring Startup;
  std::wstring SystemRoot;
  std::wstring Temp;
  std::wstring UserName;
  std::wstring UserProfile;
};

inline constexpr wchar_t kShellFoldersKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Fills the program-wide table. A shell folder whose value is missing or
// unreadable gets its fallback; a Windows folder the system does not give raises.
void InitPathVariables();
// The same without raising: false, the table left empty, when the Windows
// folder cannot be read.
bool TryInitPathVariables();

// The program-wide table, read-only after InitPathVariables.
const PathVariableTable& PathVariables();
