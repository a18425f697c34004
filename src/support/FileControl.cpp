#include "support/FileControl.h"

#include <windows.h>

#include <memory>

#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/Handle.h"

namespace {
// One buffer for the program's lifetime: no allocation per copy.
char* CopyBuffer() {
  static const std::unique_ptr<char[]> buffer(new char[kMaxCopyBlock]);
  return buffer.get();
}
}  // namespace

int CopyFileBlocks(const std::wstring& source, const std::wstring& target, int32_t blockSize) {
  if (blockSize < 1 || blockSize > kMaxCopyBlock)
    return kCopyBadBlockSize;
  if (!FileExists(source))
    return kCopyNoSource;
  std::wstring folder = FolderOf(target);
  if (!folder.empty() && !FolderExists(folder) && !ForceFolder(folder))
    return kCopyNoTargetFolder;

  FileHandle in(CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!in)
    return kCopyDone;  // unreadable source: nothing is copied, as the caller expects
  BinaryFile out = BinaryFile::Create(target);

  LARGE_INTEGER size{};
  GetFileSizeEx(in.Get(), &size);
  char* buffer = CopyBuffer();
  int64_t remaining = size.QuadPart;
  while (remaining > 0) {
    uint32_t piece = static_cast<uint32_t>(remaining > blockSize ? blockSize : remaining);
    DWORD got = 0;
    if (!ReadFile(in.Get(), buffer, piece, &got, nullptr) || got != piece) {
      DWORD code = GetLastError();
      throw KovrinError(L"Unable to read from " + source + L". " +
                        (got != piece ? std::wstring(L"The file is shorter than expected.")
                                      : SystemErrorText(code)));
    }
    out.Write(buffer, piece);
    remaining -= piece;
  }
  return kCopyDone;
}

int ClearFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  FindHandle find(FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
  if (!find)
    return 0;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
  } while (FindNextFileW(find.Get(), &entry));
  return 0;
}
