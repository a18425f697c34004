#include "Scratch.h"

#include <windows.h>

#include <vector>

#include "support/FileSystem.h"
#include "support/Handle.h"

void EmptyTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (!find.Valid())
    return;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..")
      continue;
    const std::wstring path = folder + L"\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(path);
    } else {
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(path.c_str());
    }
  } while (FindNextFileW(find.Get(), &entry));
}

void RemoveTree(const std::wstring& folder) {
  EmptyTree(folder);
  RemoveDirectoryW(folder.c_str());
}

void WritePatternFile(const std::wstring& path, int64_t size, unsigned seed) {
  BinaryFile file = BinaryFile::Create(path);
  std::vector<char> chunk(1 << 20);
  unsigned state = seed * 2654435761u + 1;
  for (int64_t left = size; left > 0;) {
    const uint32_t piece =
        static_cast<uint32_t>(left < static_cast<int64_t>(chunk.size()) ? left : chunk.size());
    for (uint32_t i = 0; i < piece; ++i) {
      state = state * 1103515245u + 12345u;
      chunk[i] = static_cast<char>(state >> 16);
    }
    file.Write(chunk.data(), piece);
    left -= piece;
  }
}

void MakeSparseFile(const std::wstring& path, int64_t size) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  LARGE_INTEGER end;
  end.QuadPart = size;
  SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN);
  SetEndOfFile(file.Get());
}
