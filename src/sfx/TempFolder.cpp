#include "sfx/TempFolder.h"

#include <cstdint>

#include "support/Handle.h"

namespace {
constexpr int kNameAttempts = 100;
constexpr int kRemoveAttempts = 30;
constexpr DWORD kRemovePauseMs = 100;

void AppendHex(PathText& text, uint32_t value) {
  for (int shift = 28; shift >= 0; shift -= 4)
    text.Append(L"0123456789ABCDEF"[(value >> shift) & 0xFu]);
}

bool IsDotName(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// One pass over the tree; true when the folder itself is gone.
bool RemoveOnce(const PathText& folder) {
  PathText pattern(folder.Get());
  if (pattern.Append(L"\\*")) {
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileW(pattern.Get(), &entry));
    if (find) {
      do {
        if (IsDotName(entry.cFileName))
          continue;
        PathText path(folder.Get());
        if (!path.Append(L'\\') || !path.Append(entry.cFileName))
          continue;
        const DWORD attributes = entry.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_READONLY)
          SetFileAttributesW(path.Get(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
          DeleteFileW(path.Get());
        else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
          RemoveDirectoryW(path.Get());  // the link only, not what it points to
        else
          RemoveOnce(path);
      } while (FindNextFileW(find.Get(), &entry));
    }
  }
  return RemoveDirectoryW(folder.Get()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
         GetLastError() == ERROR_PATH_NOT_FOUND;
}
}  // namespace

DWORD CreateUniqueTempFolder(PathText& folder) {
  PathText temp;
  const DWORD length = GetTempPathW(static_cast<DWORD>(temp.Size()), temp.Data());
  if (length == 0 || length >= temp.Size())
    return length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  temp.Measure();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  uint32_t seed = static_cast<uint32_t>(counter.QuadPart) ^ (GetCurrentProcessId() << 16);
  DWORD error = ERROR_ALREADY_EXISTS;
  for (int attempt = 0; attempt < kNameAttempts && error == ERROR_ALREADY_EXISTS; ++attempt) {
    seed = seed * 1664525u + 1013904223u;
    folder = PathText(temp.Get());
    if (!folder.Append(L"KovrinSetup-")) {
      return ERROR_FILENAME_EXCED_RANGE;
    }
    AppendHex(folder, seed);
    // CreateDirectory fails on an existing folder: a new name is tried instead.
    error = CreateDirectoryW(folder.Get(), nullptr) ? ERROR_SUCCESS : GetLastError();
  }
  if (error != ERROR_SUCCESS)
    folder = PathText(temp.Get());
  return error;
}

bool RemoveFolderTree(const wchar_t* folder) {
  const PathText root(folder);
  for (int attempt = 0; attempt < kRemoveAttempts; ++attempt) {
    if (RemoveOnce(root))
      return true;
    Sleep(kRemovePauseMs);
  }
  return false;
}
