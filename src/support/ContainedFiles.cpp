#include "support/ContainedFiles.h"

#include <windows.h>

#include <vector>

#include "support/FileSystem.h"
#include "support/PathNames.h"
#include "support/Strings.h"

namespace {
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kNoFollow = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;

std::wstring WithoutDevicePrefix(std::wstring path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
    return L"\\" + path.substr(7);
  if (path.rfind(L"\\\\?\\", 0) == 0)
    return path.substr(4);
  return path;
}

FileHandle OpenNoFollow(const std::wstring& path, DWORD access, DWORD share = kShareAll) {
  return FileHandle(CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES, share, nullptr,
                                OPEN_EXISTING, kNoFollow, nullptr));
}

bool IsMissingCode(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

// `path` below `root` (both as the system reports them), compared without case.
bool FinalPathInside(const std::wstring& path, const std::wstring& root) {
  const std::wstring prefix = WithTrailingBackslash(FoldedPath(root));
  const std::wstring folded = FoldedPath(path);
  return folded.size() > prefix.size() && folded.compare(0, prefix.size(), prefix) == 0;
}

// The components of `path` after `folder`: "a", "a\b", "a\b\c.txt".
std::vector<std::wstring> StepsBelow(const std::wstring& folder, const std::wstring& path) {
  const std::wstring base = WithoutTrailingBackslash(LongFullPath(folder));
  const std::wstring full = LongFullPath(path);
  std::vector<std::wstring> steps;
  for (size_t at = base.size() + 1; at <= full.size();) {
    size_t end = full.find(L'\\', at);
    if (end == std::wstring::npos)
      end = full.size();
    steps.push_back(full.substr(0, end));
    at = end + 1;
  }
  return steps;
}

// Walks from the folder down; the handle of the last existing step is returned
// open with `access` and `share`, or the first step that does not check out is
// reported.
ContainedFile Walk(const std::wstring& folder, const std::wstring& path, DWORD access,
                   bool missingIsFine, DWORD share = kShareAll) {
  ContainedFile result;
  if (!IsPathInside(path, folder)) {
    result.Status = ContainedStatus::Redirected;
    return result;
  }
  const FileHandle root = OpenNoFollow(WithoutTrailingBackslash(LongFullPath(folder)), 0);
  const std::wstring rootPath = root ? HandleFinalPath(root.Get()) : L"";
  if (rootPath.empty()) {
    result.Error = GetLastError();
    result.Status =
        IsMissingCode(result.Error) ? ContainedStatus::Missing : ContainedStatus::Failed;
    return result;
  }
  const std::vector<std::wstring> steps = StepsBelow(folder, path);
  for (size_t i = 0; i < steps.size(); ++i) {
    const bool last = i + 1 == steps.size();
    FileHandle step = OpenNoFollow(steps[i], last ? access : 0, last ? share : kShareAll);
    if (!step) {
      result.Error = GetLastError();
      if (IsMissingCode(result.Error)) {
        result.Status = missingIsFine ? ContainedStatus::Opened : ContainedStatus::Missing;
        return result;
      }
      result.Status = ContainedStatus::Failed;
      return result;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(step.Get(), &information)) {
      result.Error = GetLastError();
      result.Status = ContainedStatus::Failed;
      return result;
    }
    // A link the system does not report as one still shows in the final path.
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !FinalPathInside(HandleFinalPath(step.Get()), rootPath)) {
      result.Status = ContainedStatus::Redirected;
      return result;
    }
    if (!last && !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      result.Status = ContainedStatus::Missing;  // a file where a folder should be
      return result;
    }
    if (last) {
      result.Attributes = information.dwFileAttributes;
      result.Handle = std::move(step);
    }
  }
  result.Status = ContainedStatus::Opened;
  return result;
}
// Whether the existing entry behind `handle` is a plain one inside `folder`
// (its final path).
bool IsPlainEntryInside(HANDLE handle, const std::wstring& folder) {
  BY_HANDLE_FILE_INFORMATION information{};
  return GetFileInformationByHandle(handle, &information) &&
         !(information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         FinalPathInside(HandleFinalPath(handle), folder);
}
}  // namespace

std::wstring HandleFinalPath(HANDLE handle) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (length == 0)
      return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return WithoutDevicePrefix(buffer);
    }
    buffer.resize(length + 1);
  }
}

ContainedFile OpenContained(const std::wstring& folder, const std::wstring& path, DWORD access) {
  ContainedFile file = Walk(folder, path, access, false);
  if (file.Status == ContainedStatus::Opened && !file.Handle)
    file.Status = ContainedStatus::Redirected;  // the path is the folder itself
  return file;
}

bool IsContainedPath(const std::wstring& folder, const std::wstring& path) {
  if (FoldedPath(WithoutTrailingBackslash(LongFullPath(path))) ==
      FoldedPath(WithoutTrailingBackslash(LongFullPath(folder))))
    return true;
  return Walk(folder, path, 0, true).Status == ContainedStatus::Opened;
}

int64_t HandleFileSize(HANDLE handle) {
  LARGE_INTEGER size{};
  return GetFileSizeEx(handle, &size) ? size.QuadPart : -1;
}

bool DeleteThroughHandle(HANDLE handle) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                    sizeof disposition) != FALSE;
}

HeldFolder HeldFolder::Hold(const std::wstring& root, const std::wstring& folder) {
  // Listing access counts for sharing where attribute access alone does not:
  // without FILE_SHARE_DELETE beside it, nobody can rename or delete the folder.
  constexpr DWORD kListing = FILE_LIST_DIRECTORY;
  constexpr DWORD kNoDeleting = FILE_SHARE_READ | FILE_SHARE_WRITE;
  HeldFolder held;
  const std::wstring base = WithoutTrailingBackslash(LongFullPath(root));
  const std::wstring full = WithoutTrailingBackslash(LongFullPath(folder));
  if (FoldedPath(full) == FoldedPath(base)) {
    // The folder itself, like the walk's own start, may be reached through links.
    held.handle_ = OpenNoFollow(base, kListing, kNoDeleting);
  } else {
    ContainedFile walked = Walk(root, folder, kListing, false, kNoDeleting);
    if (walked.Status == ContainedStatus::Opened && (walked.Attributes & FILE_ATTRIBUTE_DIRECTORY))
      held.handle_ = std::move(walked.Handle);
  }
  if (held.handle_)
    held.finalPath_ = HandleFinalPath(held.handle_.Get());
  if (held.finalPath_.empty())
    held.handle_.Reset();
  else
    held.folder_ = FoldedPath(full);
  return held;
}

bool HeldFolder::MayWrite(const std::wstring& path, bool* exists) const {
  bool found = false;
  if (!exists)
    exists = &found;
  *exists = false;
  if (!Held() || FoldedPath(FolderOf(LongFullPath(path))) != WithTrailingBackslash(folder_))
    return false;
  const FileHandle entry = OpenNoFollow(path, 0);
  if (!entry)
    return IsMissingCode(GetLastError());
  *exists = true;
  return IsPlainEntryInside(entry.Get(), finalPath_);
}
