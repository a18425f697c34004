#include "setup/SetupShell.h"

#include <windows.h>
#include <shellapi.h>

#include "support/Handle.h"

void SystemShell::Open(const std::wstring& target, const std::wstring& workingFolder, int showCommand) {
  ShellExecuteW(nullptr, L"open", target.c_str(), L"", workingFolder.empty() ? nullptr : workingFolder.c_str(),
                showCommand);
}

void SystemShell::RequestRestart() {
  KernelHandle token;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put())) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
      AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
  }
  ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION |
                                SHTDN_REASON_FLAG_PLANNED);
}

int StartupShowCommand() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
}
