#include "support/FileChecksum.h"

#include <vector>

#include "support/Crc32.h"
#include "support/FileSystem.h"

uint32_t FileCrc32(const std::wstring& path) {
  BinaryFile file = BinaryFile::OpenRead(path);
  std::vector<char> buffer(256 * 1024);
  uint32_t crc = 0;
  for (;;) {
    const uint32_t got = file.Read(buffer.data(), static_cast<uint32_t>(buffer.size()));
    if (got == 0)
      return crc;
    crc = Crc32Update(crc, buffer.data(), got);
  }
}
