#include "support/Crc32.h"

#include <array>

namespace {
constexpr uint32_t kPolynomial = 0xEDB88320u;  // reflected 0x04C11DB7

using Tables = std::array<std::array<uint32_t, 256>, 8>;

// Table k gives the CRC of a byte followed by k zero bytes, so eight table
// look-ups advance the CRC by eight bytes at once.
constexpr Tables MakeTables() {
  Tables tables{};
  for (uint32_t byte = 0; byte < 256; ++byte) {
    uint32_t crc = byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (kPolynomial & (0u - (crc & 1u)));
    tables[0][byte] = crc;
  }
  for (uint32_t byte = 0; byte < 256; ++byte)
    for (size_t k = 1; k < 8; ++k)
      tables[k][byte] = (tables[k - 1][byte] >> 8) ^ tables[0][tables[k - 1][byte] & 0xFFu];
  return tables;
}

constexpr Tables kTables = MakeTables();

inline uint32_t LoadLittleEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size) noexcept {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  crc = ~crc;
  for (; size >= 8; size -= 8, p += 8) {
    const uint32_t low = LoadLittleEndian32(p) ^ crc;
    const uint32_t high = LoadLittleEndian32(p + 4);
    crc = kTables[7][low & 0xFFu] ^ kTables[6][(low >> 8) & 0xFFu] ^
          kTables[5][(low >> 16) & 0xFFu] ^ kTables[4][low >> 24] ^ kTables[3][high & 0xFFu] ^
          kTables[2][(high >> 8) & 0xFFu] ^ kTables[1][(high >> 16) & 0xFFu] ^
          kTables[0][high >> 24];
  }
  for (; size > 0; --size, ++p) crc = (crc >> 8) ^ kTables[0][(crc ^ *p) & 0xFFu];
  return ~crc;
}
