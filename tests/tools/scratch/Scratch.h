#pragma once
// Scratch files and trees that tests and benchmarks write and throw away.

#include <cstdint>
#include <string>

// Deletes everything below `folder` (read-only files too) and keeps the folder.
void EmptyTree(const std::wstring& folder);
// Deletes `folder` with everything in it.
void RemoveTree(const std::wstring& folder);
// A file of `size` bytes whose content depends on `seed` and on the offset,
// written through a fixed buffer.
void WritePatternFile(const std::wstring& path, int64_t size, unsigned seed);
// A 32-bit program image of `size` bytes (at least 4096): PE headers with one
// section holding the rest, in which a CALL to a near target starts at every
// offset 16 k + 14, so calls cross every boundary of 1 MiB; the filler
// between them depends on `seed`.
void WriteProgramImage(const std::wstring& path, uint32_t size, unsigned seed);
// A file of `size` bytes that takes no room on disk (for size limits).
void MakeSparseFile(const std::wstring& path, int64_t size);
