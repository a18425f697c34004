#pragma once
// What an install has made, so that an install that fails or is stopped can
// take it back: the files and links it created, the folders it made, the
// uninstaller it placed, the record and the registry entry. What was there
// before the install is never removed. Files and links go first; if any of them
// cannot be removed, the record and the registry entry are kept (the record then
// saved as it stands), so that nothing stays on disk without a record.

#include <functional>
#include <string>
#include <vector>

class InstallJournal {
 public:
  // Undoes one step; `somethingLeft` tells a record or registry step that files
  // or links could not be removed. False when the step could not be undone.
  using Undo = std::function<bool(bool somethingLeft)>;

  // ForceFolder that notes each folder it makes; they are removed when empty.
  bool MakeFolder(const std::wstring& folder);
  // Call just before creating `path`: it is noted unless something is there.
  void BeforeCreating(const std::wstring& path);
  // A file or link this install made; it is deleted.
  void Created(const std::wstring& path);
  // A step of the record or the registry entry, undone after files and links.
  void AddBookkeeping(std::wstring what, Undo undo);

  // Takes everything back, files and links first, then the rest, each newest
  // first. Returns what could not be taken back.
  std::vector<std::wstring> TakeBack();
  // The install is complete: nothing is to be taken back.
  void Forget();

 private:
  struct Step {
    std::wstring what;
    Undo undo;
  };
  std::vector<std::wstring> created_;  // files and links, in the order made
  std::vector<Step> steps_;            // folders, record and registry, in order
};
