#pragma once
// Files below a folder that other users may be able to write to, reached only
// through handles that cannot have been redirected: no component below the
// folder may be a reparse point (junction, symbolic link, mount point), and the
// path the system itself reports for the handle must still lie below the
// folder. Whatever is read or deleted afterwards goes through that same handle,
// so nothing can be swapped between the check and the act.

#include <cstdint>
#include <string>

#include "support/Handle.h"

enum class ContainedStatus {
  Opened,
  Missing,     // the path, or a folder on the way, does not exist
  Redirected,  // a reparse point on the way, or the handle ends up outside the folder
  Failed,      // the system refused to open it; the code is in `Error`
};

struct ContainedFile {
  ContainedStatus Status = ContainedStatus::Failed;
  FileHandle Handle;
  DWORD Attributes = 0;
  DWORD Error = ERROR_SUCCESS;
};

// The path the system reports for an open handle, in the "X:\..." or
// "\\server\share\..." form; empty when it cannot tell.
std::wstring HandleFinalPath(HANDLE handle);

// Opens `path`, which must lie textually below `folder`, with `access` (plus
// read-attributes) and full sharing, never following a reparse point at or
// below the folder. `access` may include DELETE for DeleteThroughHandle.
ContainedFile OpenContained(const std::wstring& folder, const std::wstring& path, DWORD access);

// True when every existing component of `path` below `folder` is a plain
// folder or file reached without a reparse point, and inside the folder; the
// components that do not exist yet are fine (the caller will create them).
bool IsContainedPath(const std::wstring& folder, const std::wstring& path);

// A folder at or below `root` whose way down has checked out, held open so
// that nobody can rename it, delete it or put a link in its place while it is
// held: the files then made in it need only their own names looked at.
class HeldFolder {
 public:
  HeldFolder() = default;

  // Walks to `folder` as OpenContained does and keeps its handle. Not held
  // when the walk refuses it, or when someone else's handle lets it be held
  // only for deletion as well (then each file needs the whole walk).
  static HeldFolder Hold(const std::wstring& root, const std::wstring& folder);

  bool Held() const { return handle_.Valid(); }

  // Whether `path`, a name directly in the held folder, is missing or an entry
  // that is no link; `exists` (if given) tells which.
  bool MayWrite(const std::wstring& path, bool* exists = nullptr) const;

 private:
  FileHandle handle_;
  std::wstring folder_;     // folded, as it was asked for
  std::wstring finalPath_;  // as the system reports it
};

// The size of the open file; -1 when the system cannot say.
int64_t HandleFileSize(HANDLE handle);

// Marks the open file or empty folder for deletion when its last handle
// closes; the handle needs DELETE access. False leaves GetLastError().
bool DeleteThroughHandle(HANDLE handle);
