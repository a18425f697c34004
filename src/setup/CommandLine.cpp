#include "setup/CommandLine.h"

#include "support/Strings.h"

namespace {
bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}

std::wstring_view SkipBlanks(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::wstring Unquoted(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
    text = text.substr(1, text.size() - 2);
  return std::wstring(text);
}

// One argument up to the next blank outside quotes; quotes are dropped, as in
// /LOG="C:\My logs\setup.log" or "/LOG=C:\My logs\setup.log".
std::wstring NextToken(std::wstring_view& rest) {
  std::wstring token;
  bool quoted = false;
  size_t i = 0;
  for (; i < rest.size(); ++i) {
    const wchar_t c = rest[i];
    if (c == L'"')
      quoted = !quoted;
    else if (IsBlank(c) && !quoted)
      break;
    else
      token += c;
  }
  rest = SkipBlanks(rest.substr(i));
  return token;
}

// "X:\..." or "\\server\share\...": a folder that does not depend on where the
// program was started from.
bool IsFullPath(const std::wstring& path) {
  const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
  return drive || (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\');
}

// "/D=" at the start, possibly behind an opening quote.
bool StartsInstallFolder(std::wstring_view rest) {
  if (!rest.empty() && rest.front() == L'"')
    rest.remove_prefix(1);
  return StartsWithNoCase(rest, L"/D=");
}
}  // namespace

std::wstring_view ArgumentsOf(std::wstring_view commandLine) {
  size_t i = 0;
  if (!commandLine.empty() && commandLine.front() == L'"') {
    const size_t close = commandLine.find(L'"', 1);
    i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  }
  while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
  return SkipBlanks(commandLine.substr(i));
}

SetupCommandLine ParseSetupArguments(std::wstring_view arguments) {
  SetupCommandLine line;
  std::wstring_view rest = SkipBlanks(arguments);
  while (!rest.empty()) {
    if (StartsInstallFolder(rest)) {
      // The rest of the line, blanks and all: a folder may hold them.
      const bool quotedSwitch = rest.front() == L'"';
      std::wstring_view value = rest.substr(quotedSwitch ? 4 : 3);
      std::wstring folder = quotedSwitch ? Unquoted(L"\"" + std::wstring(value)) : Unquoted(value);
      if (line.HasInstallFolder && line.Ok())
        line.Problem = L"Ключ /D= указан дважды.";
      line.HasInstallFolder = true;
      line.InstallFolder = std::move(folder);
      if (line.InstallFolder.empty() && line.Ok())
        line.Problem = L"После /D= не указана папка установки.";
      else if (!IsFullPath(line.InstallFolder) && line.Ok())
        line.Problem = L"Папка установки «" + line.InstallFolder +
                       L"» должна быть полным путём (с буквой диска или сетевым именем).";
      break;
    }
    const std::wstring token = NextToken(rest);
    if (EqualNoCase(token, L"/S")) {
      line.Silent = true;
    } else if (EqualNoCase(token, L"/REBOOTOK")) {
      line.RebootOk = true;
    } else if (EqualNoCase(token, L"/ALLOWDOWNGRADE")) {
      line.AllowDowngrade = true;
    } else if (StartsWithNoCase(token, L"/LOG=")) {
      if (!line.Ok())
        continue;
      if (line.HasLog)
        line.Problem = L"Ключ /LOG= указан дважды.";
      else if (token.size() == 5)
        line.Problem = L"После /LOG= не указан файл журнала.";
      line.HasLog = true;
      line.LogPath = token.substr(5);
    } else if (line.Ok()) {
      line.Problem = L"Неизвестный ключ «" + token + L"».";
    }
  }
  return line;
}
