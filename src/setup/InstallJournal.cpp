#include "setup/InstallJournal.h"

#include <windows.h>

#include "support/FileSystem.h"

namespace {
bool Gone(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

// Puts a file set aside back at its place; the file the install put there goes.
bool RenameBack(const std::wstring& aside, const std::wstring& path) {
  return MoveFileExW(aside.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
}  // namespace

Expected<bool> InstallJournal::MakeFolder(const std::wstring& folder) {
  std::vector<std::wstring> made;
  const Expected<bool> ok = TryForceFolder(folder, &made);
  for (std::wstring& path : made)
    steps_.push_back({path, [path](bool) {
                        // A folder that now holds something not ours stays, as it should.
                        RemoveDirectoryW(path.c_str());
                        return true;
                      }});
  return ok;
}

Status InstallJournal::BeforeCreating(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    files_.push_back({path, {}});
  else if (!(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
    return KeepCopy(path);  // an earlier version's link, put back if this install is taken back
  return {};
}

void InstallJournal::Created(const std::wstring& path) {
  files_.push_back({path, {}});
}

std::optional<std::wstring> InstallJournal::MoveAside(const std::wstring& path) {
  // Without MOVEFILE_REPLACE_EXISTING: a name that is taken is never overwritten.
  std::optional<std::wstring> aside = ClaimNameBeside(path, [&](const std::wstring& name) {
    return MoveFileExW(path.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  });
  if (aside)
    files_.push_back({path, *aside});
  return aside;
}

Status InstallJournal::KeepCopy(const std::wstring& path) {
  Expected<TemporaryFile> copy = TemporaryFile::Make(path);
  if (!copy)
    return std::move(copy).Error();
  const Expected<std::string> bytes = TryReadWholeFile(path);
  if (!bytes)
    return bytes.Error();
  if (Status written = copy->File().TryWrite(*bytes); !written)
    return written;
  files_.push_back({path, copy->Keep()});
  return {};
}

bool InstallJournal::ReplaceAtRestart(const std::wstring& staged, const std::wstring& target) {
  if (!MoveFileExW(staged.c_str(), target.c_str(),
                   MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING))
    return false;
  files_.push_back({staged, {}});
  restartPending_ = true;
  return true;
}

void InstallJournal::AddBookkeeping(std::wstring what, Undo undo) {
  steps_.push_back({std::move(what), std::move(undo)});
}

std::vector<std::wstring> InstallJournal::TakeBack() {
  std::vector<std::wstring> left;
  for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
    const bool undone = it->aside.empty() ? DeleteFileW(it->path.c_str()) || Gone(GetLastError())
                                          : RenameBack(it->aside, it->path);
    if (!undone)  // a file set aside is named where it now lies
      left.push_back(it->aside.empty() ? it->path : it->aside);
  }
  const bool somethingLeft = !left.empty();
  for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
    if (!it->undo(somethingLeft))
      left.push_back(it->what);
  }
  Forget();
  return left;
}

bool InstallJournal::Commit() {
  for (const FileStep& step : files_)
    if (!step.aside.empty() && !DeleteFileW(step.aside.c_str()) && !Gone(GetLastError()))
      MoveFileExW(step.aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  const bool restart = restartPending_;
  Forget();
  return restart;
}

void InstallJournal::Forget() {
  files_.clear();
  steps_.clear();
  restartPending_ = false;
}
