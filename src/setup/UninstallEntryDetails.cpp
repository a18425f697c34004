#include "setup/UninstallEntryDetails.h"

#include <windows.h>

#include "formats/UninstallEntry.h"
#include "formats/UninstallRecord.h"
#include "setup/InstallEvents.h"
#include "setup/SetupState.h"
#include "setup/UninstallRegistration.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/Handle.h"

namespace {
void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  if (RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) !=
      ERROR_SUCCESS)
    throw KovrinError(L"Failed to set data for '" + std::wstring(name) + L"'");
}

void SetNumber(HKEY key, const wchar_t* name, DWORD value) {
  if (RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                     sizeof value) != ERROR_SUCCESS)
    throw KovrinError(L"Failed to set data for '" + std::wstring(name) + L"'");
}

std::wstring ReadText(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) !=
      ERROR_SUCCESS)
    return {};
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

std::wstring Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return InstallDateText(now.wYear, now.wMonth, now.wDay);
}
}  // namespace

int64_t InstalledBytes(const SetupState& state) {
  int64_t bytes = 0;
  for (size_t n = 1; n < state.FileList.size(); ++n)
    if (state.FileList[n].FileSize > 0)
      bytes += state.FileList[n].FileSize;
  return bytes;
}

void CompleteUninstallEntry(const SetupState& state, InstallEvents& events) {
  using namespace uninstall;
  const std::wstring keyPath = UninstallRegistryKey(state.ProgramName);
  RegKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, key.Put(),
                      nullptr) != ERROR_SUCCESS)
    throw KovrinError(L"Failed to create key " + keyPath);
  if (state.ProductVersion.empty())
    RegDeleteValueW(key.Get(), kDisplayVersion);
  else
    SetText(key.Get(), kDisplayVersion, state.ProductVersion);
  SetText(key.Get(), kPublisher, state.CompanyName);
  SetText(key.Get(), kInstallLocation, state.InstallPath);
  SetText(key.Get(), kInstallDate, Today());
  SetNumber(key.Get(), kEstimatedSize, EstimatedSizeKb(InstalledBytes(state)));
  SetText(key.Get(), kQuietUninstallString,
          QuietUninstallCommand(ReadText(key.Get(), kUninstallString)));
  SetNumber(key.Get(), kNoModify, 1);
  SetNumber(key.Get(), kNoRepair, 1);

  const std::wstring uninstaller = WindowsFolder(state) + L"\\" + kUninstallerFileName;
  if (FileExists(uninstaller))
    events.UninstallerPlaced(uninstaller);
  events.EntryRegistered(keyPath);
}
