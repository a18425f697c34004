#include "setup/UninstallEntryDetails.h"

#include <windows.h>

#include "formats/RecordRemoval.h"
#include "formats/UninstallEntry.h"
#include "formats/UninstallRecord.h"
#include "setup/InstallEvents.h"
#include "setup/SetupState.h"
#include "setup/UninstallRegistration.h"
#include "support/FileSystem.h"
#include "support/QRegistry.h"

namespace {
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

Status CompleteUninstallEntry(const SetupState& state, InstallEvents& events) {
  using namespace uninstall;
  const std::wstring keyPath = UninstallRegistryKey(state.ProgramName);
  Expected<RegistryKey> key = RegistryKey::TryCreate(HKEY_LOCAL_MACHINE, keyPath);
  if (!key)
    return std::move(key).Error();
  // The first value that cannot be written ends the writing.
  Status written;
  auto text = [&](const wchar_t* name, const std::wstring& value) {
    if (written)
      written = key->TryWriteText(name, value);
  };
  auto number = [&](const wchar_t* name, DWORD value) {
    if (written)
      written = key->TryWriteNumber(name, value);
  };
  if (state.ProductVersion.empty())
    key->DeleteValue(kDisplayVersion);
  else
    text(kDisplayVersion, state.ProductVersion);
  if (state.ProductCode.empty())
    key->DeleteValue(kProductCode);
  else
    text(kProductCode, state.ProductCode);
  text(kPublisher, state.CompanyName);
  text(kInstallLocation, state.InstallPath);
  text(kInstallDate, Today());
  number(kEstimatedSize, EstimatedSizeKb(InstalledBytes(state)));
  text(kQuietUninstallString, QuietUninstallCommand(RegisteredUninstallString(state.ProgramName)));
  text(kLinkFolders, LinkFoldersValue(RecordedLinks(state.UninstallScript)));
  number(kNoModify, 1);
  number(kNoRepair, 1);
  if (!written)
    return written;

  if (const Expected<std::wstring> windows = WindowsFolder(state)) {
    const std::wstring uninstaller = *windows + L"\\" + kUninstallerFileName;
    if (FileExists(uninstaller))
      events.UninstallerPlaced(uninstaller);
  }
  events.EntryRegistered(keyPath);
  return {};
}
