#include "support/Environment.h"

#include <windows.h>

#include "support/Error.h"
#include "support/QRegistry.h"
#include "support/Strings.h"

namespace {
PathVariableTable g_pathVariables;

// A shell-folder value, expanded. A missing value, one of another data type or
// one that cannot be read gives the fallback: none of them may end the program.
std::wstring ShellFolder(const wchar_t* valueName, const wchar_t* fallback) {
  std::wstring raw;
  const RegistryKey key = RegistryKey::Open(HKEY_CURRENT_USER, kShellFoldersKey);
  if (!key || key.QueryText(valueName, raw) != ERROR_SUCCESS)
    raw = fallback;
  return ExpandPathVariables(raw);
}
}  // namespace

std::wstring GetEnvVar(const std::wstring& name) {
  if (name.empty())
    return {};
  DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (size == 0)
    return {};
  std::wstring value(size, L'\0');
  DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

std::wstring SystemWindowsFolder() {
  if (std::optional<std::wstring> folder = TrySystemWindowsFolder())
    return std::move(*folder);
  ThrowLastError(L"GetSystemWindowsDirectoryW");
}

std::optional<std::wstring> TrySystemWindowsFolder() {
  wchar_t folder[MAX_PATH + 1];
  const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH)
    return std::nullopt;
  return std::wstring(folder, length);
}

std::wstring ReplaceReferences(
    std::wstring_view text,
    const std::function<void(std::wstring_view, std::wstring&)>& substitute) {
  std::wstring output;
  output.reserve(text.size());
  std::wstring_view rest = text;
  size_t p;
  while ((p = rest.find(L'%')) != std::wstring_view::npos) {
    output.append(rest.substr(0, p));
    rest.remove_prefix(p + 1);
    size_t q = rest.find(L'%');
    substitute(q == std::wstring_view::npos ? std::wstring_view() : rest.substr(0, q), output);
    rest.remove_prefix(q == std::wstring_view::npos ? 0 : q + 1);
  }
  output.append(rest);
  return output;
}

std::wstring ExpandPathVariables(std::wstring_view text) {
  return ReplaceReferences(text, [](std::wstring_view name, std::wstring& output) {
    const bool windows = EqualNoCase(name, L"SystemRoot") || EqualNoCase(name, L"windir");
    std::wstring value = windows ? SystemWindowsFolder() : GetEnvVar(std::wstring(name));
    if (!value.empty()) {
      output += value;
    } else {
      output += L'%';
      output += name;
      output += L'%';  // an unset variable stays as it was written
    }
  });
}

void InitPathVariables() {
  PathVariableTable& t = g_pathVariables;
  t.AllUsersProfile = GetEnvVar(L"AllUsersProfile");
  t.AppData = GetEnvVar(L"AppData");
  t.CommonProgramFiles = GetEnvVar(L"CommonProgramFiles");
  t.ComputerName = GetEnvVar(L"ComputerName");
  t.Desktop = ShellFolder(L"Desktop", L"%UserProfile%\\Рабочий стол");
  t.HomeDrive = GetEnvVar(L"HomeDrive");
  t.Personal = ShellFolder(L"Personal", L"%UserProfile%\\Мои документы");
  t.ProgramFiles = GetEnvVar(L"ProgramFiles");
  t.StartMenu = ShellFolder(L"Start Menu", L"%UserProfile%\\Главное меню");
  t.Startup = ShellFolder(L"Startup", L"%UserProfile%\\Главное меню\\Программы\\Автозагрузка");
  t.SystemRoot = SystemWindowsFolder();
  t.Temp = GetEnvVar(L"Temp");
  t.UserName = GetEnvVar(L"UserName");
  t.UserProfile = GetEnvVar(L"UserProfile");
}

bool TryInitPathVariables() {
  if (!TrySystemWindowsFolder())
    return false;
  InitPathVariables();
  return true;
}

const PathVariableTable& PathVariables() {
  return g_pathVariables;
}
