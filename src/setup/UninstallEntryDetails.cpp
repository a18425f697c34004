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

void CompleteUninstallEntry(const SetupState& state, InstallEvents& events) {
  using namespace uninstall;
  const std::wstring keyPath = UninstallRegistryKey(state.ProgramName);
  RegistryKey key = RegistryKey::Create(HKEY_LOCAL_MACHINE, keyPath);
  if (state.ProductVersion.empty())
    key.DeleteValue(kDisplayVersion);
  else
    key.WriteText(kDisplayVersion, state.ProductVersion);
  if (state.ProductCode.empty())
    key.DeleteValue(kProductCode);
  else
    key.WriteText(kProductCode, state.ProductCode);
  key.WriteText(kPublisher, state.CompanyName);
  key.WriteText(kInstallLocation, state.InstallPath);
  key.WriteText(kInstallDate, Today());
  key.WriteNumber(kEstimatedSize, EstimatedSizeKb(InstalledBytes(state)));
  key.WriteText(kQuietUninstallString,
                QuietUninstallCommand(RegisteredUninstallString(state.ProgramName)));
  key.WriteText(kLinkFolders, LinkFoldersValue(RecordedLinks(state.UninstallScript)));
  key.WriteNumber(kNoModify, 1);
  key.WriteNumber(kNoRepair, 1);

  const std::wstring uninstaller = WindowsFolder(state) + L"\\" + kUninstallerFileName;
  if (FileExists(uninstaller))
    events.UninstallerPlaced(uninstaller);
  events.EntryRegistered(keyPath);
}
