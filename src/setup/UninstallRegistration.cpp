#include "setup/UninstallRegistration.h"

#include <windows.h>

#include "formats/ScriptKeys.h"
#include "formats/UninstallRecord.h"
#include "setup/SetupState.h"
#include "setup/SetupVariables.h"
#include "support/Error.h"
#include "support/Handle.h"

namespace {
// Each value opens (creating if needed) the key afresh, as a key removed between
// two writes must come back.
void WriteUninstallValue(const std::wstring& keyPath, const std::wstring& name,
                         const std::wstring& value) {
  RegKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      key.Put(), nullptr) != ERROR_SUCCESS)
    throw KovrinError(L"Failed to create key " + keyPath);
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  if (RegSetValueExW(key.Get(), name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()), bytes) != ERROR_SUCCESS)
    throw KovrinError(L"Failed to set data for '" + name + L"'");
}
}  // namespace

std::wstring WindowsFolder(const SetupState& state) {
  return ExpandSetupVariables(state, L"%systemroot%");
}

void RegisterUninstaller(const SetupState& state) {
  const std::wstring windows = WindowsFolder(state);
  CopyFileW((state.PackageFolder + script::kUninstallerImage).c_str(),
            (windows + L"\\" + uninstall::kUninstallerFileName).c_str(), FALSE);

  const std::wstring keyPath = UninstallRegistryKey(state.ProgramName);
  WriteUninstallValue(keyPath, uninstall::kDisplayName, state.ProgramName);
  WriteUninstallValue(keyPath, uninstall::kDisplayIcon, UninstallDisplayIcon(windows));
  WriteUninstallValue(keyPath, uninstall::kUninstallString,
                      UninstallCommandLine(windows, state.InstallPath, state.ProgramName));
}
