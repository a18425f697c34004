#include "setup/PreviousVersion.h"

#include <unordered_set>

#include "formats/RecordRemoval.h"
#include "formats/UninstallRecord.h"
#include "setup/InstallEvents.h"
#include "setup/SetupState.h"
#include "setup/UninstallRegistration.h"
#include "support/FileSystem.h"
#include "support/PathNames.h"

namespace {
bool SameFile(const std::wstring& a, const std::wstring& b) {
  return FoldedPath(LongFullPath(a)) == FoldedPath(LongFullPath(b));
}

void Report(const UninstallResult& result, SetupState& state, InstallEvents& events) {
  for (const std::wstring& path : result.Changed) {
    state.KeptFromPrevious.push_back(path);
    events.EarlierFileKept(path, true);
  }
  for (const std::wstring& path : result.NotRemoved) {
    state.KeptFromPrevious.push_back(path);
    events.EarlierFileKept(path, false);
  }
}
}  // namespace

void RemovePreviousVersion(SetupState& state, InstallEvents& events) {
  // What cannot be looked at (an unreadable earlier record) stays, as the
  // uninstaller would leave it.
  auto keep = [&](const Failure& failure) {
    state.KeptFromPrevious.push_back(failure.Message());
    events.EarlierFileKept(failure.Message(), false);
  };
  const Expected<std::wstring> windows = WindowsFolder(state);
  if (!windows)
    return keep(windows.Error());
  const std::unordered_set<std::wstring> written = RecordedPaths(state.UninstallScript);
  const std::wstring uninstaller = *windows + L"\\" + uninstall::kUninstallerFileName;
  const LinkFolderRule links =
      LinkFoldersOf(state.Previous ? state.Previous->LinkFolders : std::nullopt);
  if (state.PreviousRecord) {
    UninstallResult result;
    if (Status removed = RemoveRecordedInstallation(
            {state.UninstallScriptPath, state.ProgramName}, uninstaller, result,
            {&*state.PreviousRecord, &written, false, false, links});
        !removed)
      return keep(removed.Error());
    Report(result, state, events);
  }
  if (state.Previous && !SameFile(state.Previous->RecordPath, state.UninstallScriptPath) &&
      FileExists(state.Previous->RecordPath)) {
    UninstallResult result;
    if (Status removed =
            RemoveRecordedInstallation({state.Previous->RecordPath, state.ProgramName}, uninstaller,
                                       result, {nullptr, &written, true, false, links});
        !removed)
      return keep(removed.Error());
    Report(result, state, events);
  }
}
