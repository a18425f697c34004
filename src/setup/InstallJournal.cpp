#include "setup/InstallJournal.h"

#include <windows.h>

#include "support/FileSystem.h"

bool InstallJournal::MakeFolder(const std::wstring& folder) {
  std::vector<std::wstring> made;
  const bool ok = ForceFolder(folder, &made);
  for (std::wstring& path : made)
    steps_.push_back({path, [path](bool) {
                        // A folder that now holds something not ours stays, as it should.
                        RemoveDirectoryW(path.c_str());
                        return true;
                      }});
  return ok;
}

void InstallJournal::BeforeCreating(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
    created_.push_back(path);
}

void InstallJournal::Created(const std::wstring& path) {
  created_.push_back(path);
}

void InstallJournal::AddBookkeeping(std::wstring what, Undo undo) {
  steps_.push_back({std::move(what), std::move(undo)});
}

std::vector<std::wstring> InstallJournal::TakeBack() {
  std::vector<std::wstring> left;
  for (auto it = created_.rbegin(); it != created_.rend(); ++it)
    if (!DeleteFileW(it->c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
        GetLastError() != ERROR_PATH_NOT_FOUND)
      left.push_back(*it);
  const bool somethingLeft = !left.empty();
  for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
    bool undone = false;
    try {
      undone = it->undo(somethingLeft);
    } catch (...) {
    }
    if (!undone)
      left.push_back(it->what);
  }
  Forget();
  return left;
}

void InstallJournal::Forget() {
  created_.clear();
  steps_.clear();
}
