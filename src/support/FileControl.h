#pragma once
// Block copies and folder clean-up for the designer's build run.

#include <cstdint>
#include <string>

enum CopyFileBlocksResult : int {
  kCopyDone = 0,            // copied (also: source exists but cannot be opened)
  kCopyNoSource = 1,        // the source file does not exist
  kCopyNoTargetFolder = 2,  // the target's folder cannot be created
  kCopyBadBlockSize = 3,    // block size outside 1 .. 1,000,000
};

inline constexpr int32_t kMaxCopyBlock = 1000000;

// Copies `source` to `target` through one fixed 1,000,000-byte buffer in blocks of
// `blockSize` bytes. A short read or a failed or short write raises KovrinError
// naming the file, instead of reporting success.
int CopyFileBlocks(const std::wstring& source, const std::wstring& target, int32_t blockSize);

// Deletes every file of the folder (no trailing "\"); sub-folders stay; files that
// cannot be deleted are skipped. Returns 0.
int ClearFolder(const std::wstring& folder);
