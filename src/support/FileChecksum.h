#pragma once
// The CRC-32 of a whole file, read once through a fixed buffer.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

// Raises `Cannot open file "…"` or "Unable to read from …" when it cannot be read.
uint32_t FileCrc32(const std::wstring& path);
// The same for a file already open for reading at its start; `name` is for
// the message.
uint32_t HandleCrc32(HANDLE file, const std::wstring& name);
// The same without raising: nullopt when a read fails, its reason left in GetLastError().
std::optional<uint32_t> TryHandleCrc32(HANDLE file);
