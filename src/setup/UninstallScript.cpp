#include "setup/UninstallScript.h"

#include <windows.h>

#include "formats/UninstallRecord.h"
#include "setup/SetupState.h"
#include "support/Error.h"
#include "support/FileSystem.h"

void OpenUninstallScript(SetupState& state) {
  state.UninstallScriptPath = state.InstallPath + L"\\" + uninstall::kScriptName;
  state.UninstallScript = ProfileFile::Load(state.UninstallScriptPath);
}

void SaveUninstallScript(const SetupState& state) {
  const std::wstring& path = state.UninstallScriptPath;
  const std::wstring temporary = path + L".new";
  try {
    WriteWholeFile(temporary, state.UninstallScript.ToBytes());
  } catch (const KovrinError& error) {
    DeleteFileW(temporary.c_str());
    throw KovrinError(L"Unable to write to " + path + L" (" + error.Message() + L")");
  }
  if (!MoveFileExW(temporary.c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD code = GetLastError();
    DeleteFileW(temporary.c_str());
    throw KovrinError(L"Unable to write to " + path + L" (" + SystemErrorText(code) + L")");
  }
}

void UninstallScriptCheckpoints::Save(bool now) {
  const uint64_t tick = GetTickCount64();
  if (!now && (!dirty_ || tick - lastSave_ < intervalMs_))
    return;
  SaveUninstallScript(state_);
  lastSave_ = tick;
  dirty_ = false;
}
