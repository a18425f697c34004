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

void WriteProgramImage(const std::wstring& path, uint32_t size, unsigned seed) {
  std::string bytes(size, '\0');
  auto put = [&](uint32_t at, uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  };
  constexpr uint32_t kPe = 0x80, kOptionalSize = 0xE0, kRaw = 0x400;
  bytes[0] = 'M';
  bytes[1] = 'Z';
  put(0x3C, kPe, 4);
  bytes.replace(kPe, 4, std::string("PE\0\0", 4));
  put(kPe + 4, 0x14C, 2);  // i386
  put(kPe + 6, 1, 2);      // one section
  put(kPe + 20, kOptionalSize, 2);
  put(kPe + 24, 0x10B, 2);  // PE32
  const uint32_t section = kPe + 24 + kOptionalSize;
  bytes.replace(section, 5, ".text");
  put(section + 16, size - kRaw, 4);  // raw size
  put(section + 20, kRaw, 4);         // raw offset
  put(section + 36, 0x60000020, 4);   // code, executable, readable
  unsigned state = seed * 2654435761u + 1;
  for (uint32_t i = kRaw; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(state >> 24);
  }
  for (uint32_t at = kRaw + 14; at + 5 <= size; at += 16) {
    state = state * 1103515245u + 12345u;
    bytes[at] = static_cast<char>(0xE8);
    put(at + 1, (state >> 12) % 4000 - 2000, 4);  // within 2000 bytes either way
  }
  WriteWholeFile(path, bytes);
}

void MakeSparseFile(const std::wstring& path, int64_t size) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  LARGE_INTEGER end;
  end.QuadPart = size;
  SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN);
  SetEndOfFile(file.Get());
}
