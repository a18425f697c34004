#pragma once
// What an install has made, so that an install that fails or is stopped can
// take it back: the files and links it created, the files it replaced (moved
// aside, never overwritten), the folders it made, the uninstaller it placed,
// the record and the registry entry. What was there before the install is never
// removed: a file it replaced is renamed back into place. Files and links go
// first; if any of them cannot be taken back, the record and the registry entry
// are kept (the record then saved as it stands), so that nothing stays on disk
// without a record. Commit() ends the install: the files set aside are deleted.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/Failure.h"

class InstallJournal {
 public:
  // Undoes one step; `somethingLeft` tells a record or registry step that files
  // or links could not be removed. False when the step could not be undone.
  using Undo = std::function<bool(bool somethingLeft)>;

  // TryForceFolder that notes each folder it makes; they are removed when empty.
  Expected<bool> MakeFolder(const std::wstring& folder);
  // Call just before creating `path`: it is noted when nothing is there, and a
  // file that is there is kept as a copy that a take-back renames back.
  Status BeforeCreating(const std::wstring& path);
  // A file or link this install made; it is deleted.
  void Created(const std::wstring& path);
  // Renames the existing file `path` to a free name beside it; a take-back
  // renames it back over whatever is at `path` then, a commit deletes it. Returns
  // the name it now has, or nullopt with the reason in GetLastError() (a file
  // another program holds open gives ERROR_SHARING_VIOLATION).
  std::optional<std::wstring> MoveAside(const std::wstring& path);
  // Keeps a copy of the existing file `path` beside it, for a file that is
  // rewritten where it lies (the record): a take-back renames the copy over it,
  // a commit deletes it. Fails as `Cannot create file "<path>". …` when the copy
  // cannot be made.
  Status KeepCopy(const std::wstring& path);
  // Asks Windows to rename `staged` over `target` when it restarts; a take-back
  // deletes `staged`, so the rename then finds nothing to move. False, with the
  // reason in GetLastError(), when Windows refuses.
  bool ReplaceAtRestart(const std::wstring& staged, const std::wstring& target);
  // A step of the record or the registry entry, undone after files and links.
  void AddBookkeeping(std::wstring what, Undo undo);

  // Takes everything back, files and links first, then the rest, each newest
  // first. Returns what could not be taken back.
  std::vector<std::wstring> TakeBack();
  // The install is complete: the files set aside are deleted (one still in use
  // is removed at the next restart where Windows allows), nothing is to be taken
  // back. True when a file waits for the restart to be replaced.
  bool Commit();
  // Nothing is to be taken back, and nothing set aside is deleted.
  void Forget();

 private:
  struct FileStep {
    std::wstring path;   // created by the install, or the place of a file set aside
    std::wstring aside;  // where the earlier file lies now; empty for a created one
  };
  struct Step {
    std::wstring what;
    Undo undo;
  };
  std::vector<FileStep> files_;  // files and links, in the order made
  std::vector<Step> steps_;      // folders, record and registry, in order
  bool restartPending_ = false;
};
