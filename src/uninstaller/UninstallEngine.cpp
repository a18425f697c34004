#include "uninstaller/UninstallEngine.h"

#include <windows.h>

#include "formats/RecordRemoval.h"
#include "formats/UninstallRecord.h"
#include "support/Error.h"
#include "support/FileSystem.h"

UninstallResult RemoveInstallation(const UninstallCommand& command, const std::wstring& selfPath,
                                   bool removeAtRestart) {
  UninstallResult result;
  result.ScriptFound = FileExists(command.ScriptPath);
  RecordRemovalScope scope;
  scope.RemoveAtRestart = removeAtRestart;
  scope.Links = LinkFoldersOf(RegisteredLinkFolders(command.ProgramName));
  if (result.ScriptFound)
    RaiseIfFailed(RemoveRecordedInstallation(command, selfPath, result, scope));

  // The entry goes with the record. A name that is empty or holds "\" would name
  // another key than the product's.
  if (!result.NotRemoved.empty())
    return result;
  const std::wstring& name = command.ProgramName;
  const std::wstring key = UninstallRegistryKey(name);
  if (name.empty() || name.find(L'\\') != std::wstring::npos) {
    result.NotRemoved.push_back(L"HKEY_LOCAL_MACHINE\\" + key);
  } else {
    const LSTATUS status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
      result.NotRemoved.push_back(L"HKEY_LOCAL_MACHINE\\" + key);
  }
  return result;
}

bool UninstallComplete(const UninstallResult& result) {
  return result.ScriptFound && result.NotRemoved.empty() && result.Changed.empty() &&
         result.Skipped.empty();
}
