#pragma once
// Bytes that LZMA cannot shrink and bytes that it shrinks well, for the tests
// of what the packer stores as it is.

#include <cstdint>
#include <string>

inline std::string Noise(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) {
    seed = seed * 1103515245u + 12345u;
    byte = static_cast<char>(seed >> 23);
  }
  return bytes;
}

inline std::string Text(size_t size) {
  std::string bytes;
  for (int i = 0; bytes.size() < size; ++i) bytes += "line " + std::to_string(i % 977) + "\r\n";
  bytes.resize(size);
  return bytes;
}
