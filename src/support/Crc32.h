#pragma once
// CRC-32 (the polynomial of zip, PNG and Ethernet), slicing by eight bytes.
// Incremental: start from 0 and feed each piece with the value returned so far.
//   uint32_t crc = 0;
//   crc = Crc32Update(crc, first, firstSize);
//   crc = Crc32Update(crc, second, secondSize);  // == Crc32 of both pieces joined
// Free of exceptions and of the rest of support/, so the self-extractor links it alone.

#include <cstddef>
#include <cstdint>

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size) noexcept;

inline uint32_t Crc32(const void* data, size_t size) noexcept {
  return Crc32Update(0, data, size);
}

// The CRC-32 of two pieces joined, from each one's CRC-32 and the second's size:
// pieces that arrive out of order still give the whole file's value. Folding
// the pieces' values in file order, each with the bytes after it, is the same.
uint32_t Crc32Combine(uint32_t first, uint32_t second, uint64_t secondSize) noexcept;

// The bytes a carry-less folding step of this processor takes: 64 (128-bit
// registers), 256 (512-bit ones) or 0 where only the tables run.
size_t Crc32FoldingStep() noexcept;
