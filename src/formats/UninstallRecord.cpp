#include "formats/UninstallRecord.h"

#include <windows.h>

#include <shellapi.h>

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

std::wstring UninstallCommandLine(const std::wstring& windowsFolder,
                                  const std::wstring& installPath,
                                  const std::wstring& programName) {
  return windowsFolder + L"\\" + uninstall::kUninstallerFileName + L" \"" + installPath + L"\\" +
         uninstall::kScriptName + L"\" \"" + programName + L"\"";
}

bool ParseUninstallCommand(const wchar_t* commandLine, UninstallCommand& command) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(commandLine, &count);
  if (!arguments)
    return false;
  const bool ok = count >= 3;  // the program itself, then the two texts
  if (ok) {
    command.ScriptPath = arguments[count - 2];
    command.ProgramName = arguments[count - 1];
  }
  LocalFree(arguments);
  return ok;
}
