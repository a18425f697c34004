#include "support/ShellActions.h"

#include <windows.h>

#include <shellapi.h>

#include "support/Handle.h"

bool SystemShellActions::Open(const std::wstring& file, const std::wstring& parameters,
                              const std::wstring& folder, int showCommand) {
  HINSTANCE result = ShellExecuteW(nullptr, L"open", file.c_str(),
                                   parameters.empty() ? nullptr : parameters.c_str(),
                                   folder.empty() ? nullptr : folder.c_str(), showCommand);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool SystemShellActions::RequestRestart() {
  // Windows NT and later refuse the request unless the shutdown privilege is enabled.
  KernelHandle token;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put())) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
      AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
  }
  return ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED) != 0;
}
