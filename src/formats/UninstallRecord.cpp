#include "formats/UninstallRecord.h"

#include "support/CommandLineWords.h"

namespace {
constexpr wchar_t kUninstallListKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
}

std::wstring UninstallRegistryKey(const std::wstring& programName) {
  return kUninstallListKey + programName;
}

std::wstring UninstallDisplayIcon(const std::wstring& windowsFolder) {
  return L"\"" + windowsFolder + L"\\" + uninstall::kUninstallerFileName + L"\",0";
}

std::wstring UninstallCommandLine(const std::wstring& windowsFolder, const std::wstring& recordPath,
                                  const std::wstring& programName) {
  return windowsFolder + L"\\" + uninstall::kUninstallerFileName + L" \"" + recordPath + L"\" \"" +
         programName + L"\"";
}

std::wstring RecordFileName(int number) {
  return number == 0 ? uninstall::kScriptName : L"Uninst" + std::to_wstring(number) + L".ini";
}

bool IsRecordFileName(std::wstring_view name) {
  auto upper = [](wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c; };
  auto startsWith = [&](std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size())
      return false;
    for (size_t i = 0; i < prefix.size(); ++i)
      if (upper(text[i]) != prefix[i])
        return false;
    return true;
  };
  if (!startsWith(name, L"UNINST") || name.size() < 10 ||
      !startsWith(name.substr(name.size() - 4), L".INI"))
    return false;
  for (wchar_t c : name.substr(6, name.size() - 10))
    if (c < L'0' || c > L'9')
      return false;
  return true;
}

bool ParseUninstallCommand(const wchar_t* commandLine, UninstallCommand& command) {
  const std::vector<std::wstring> words = SplitCommandLine(commandLine);
  if (words.size() < 3)  // the program itself, then the two texts
    return false;
  command.ScriptPath = words[words.size() - 2];
  command.ProgramName = words.back();
  return true;
}
