#pragma once
// The CRC-32 of a whole file, read once through a fixed buffer.

#include <cstdint>
#include <string>

// Raises `Cannot open file "…"` or "Unable to read from …" when it cannot be read.
uint32_t FileCrc32(const std::wstring& path);
