#include "support/FileChecksum.h"

#include <vector>

#include "support/Crc32.h"
#include "support/Error.h"
#include "support/Handle.h"

uint32_t FileCrc32(const std::wstring& path) {
  const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file)
    ThrowCannotOpen(path);
  return HandleCrc32(file.Get(), path);
}

uint32_t HandleCrc32(HANDLE file, const std::wstring& name) {
  if (const std::optional<uint32_t> crc = TryHandleCrc32(file))
    return *crc;
  ThrowLastError(L"Unable to read from " + name);
}

std::optional<uint32_t> TryHandleCrc32(HANDLE file) {
  std::vector<char> buffer(256 * 1024);
  uint32_t crc = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
      return std::nullopt;
    if (got == 0)
      return crc;
    crc = Crc32Update(crc, buffer.data(), got);
  }
}
