#include "setup/TargetReplacement.h"

#include <windows.h>

#include "setup/FileHolders.h"
#include "setup/FileInUse.h"
#include "setup/InstallEvents.h"
#include "setup/InstallJournal.h"
#include "support/Error.h"
#include "support/FileSystem.h"

Expected<bool> ReplaceExistingTarget(TemporaryFile& staged, InstallJournal& journal,
                                     InstallEvents& events, bool replaceAtRestart) {
  const std::wstring& target = staged.Target();
  const std::wstring failure = L"Cannot create file \"" + target + L"\"";
  for (;;) {
    if (journal.MoveAside(target))
      break;
    const DWORD code = GetLastError();
    if (!IsFileInUseError(code))
      return SystemFailure(failure, code);
    if (replaceAtRestart) {
      const std::wstring path = staged.Keep();
      if (!journal.ReplaceAtRestart(path, target)) {
        const DWORD refused = GetLastError();
        DeleteFileW(path.c_str());
        return SystemFailure(failure, refused);
      }
      events.ReplacedAtRestart(target, path);
      return true;
    }
    const std::vector<std::wstring> holders = ProgramsHoldingFile(target);
    if (events.FileInUse(target, holders) != InUseAnswer::Retry)
      return FileInUseFailure(target, holders);
  }
  if (Status committed = staged.TryCommit(); !committed)  // the old file is set aside
    return std::move(committed).Error();
  return false;
}
