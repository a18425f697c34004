#pragma once
// The package's payload files: data.dat (program files end to end) and
// Setup.dat (information text, then license text). No headers: every length
// comes from the setup script. All copies stream through one fixed buffer.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "support/FileSystem.h"

inline constexpr uint32_t kPayloadBlock = 1000000;  // data.dat, both sides
inline constexpr uint32_t kLauncherBlock = 200000;  // launcher, Setup.dat, final copies

// A fixed copy buffer of kPayloadBlock bytes, allocated once by its owner.
class CopyBuffer {
 public:
  CopyBuffer() : bytes_(new char[kPayloadBlock]) {}
  char* Data() const noexcept { return bytes_.get(); }

 private:
  std::unique_ptr<char[]> bytes_;
};

// Called after each block with the bytes just moved (a checksum is taken from
// them in the same pass; most callers only count them).
using BlockCallback = std::function<void(const char* block, uint32_t size)>;
// The same for a caller that may stop the copy: a failure it returns ends the
// copy and is returned.
using CheckedBlockCallback = std::function<Status(const char* block, uint32_t size)>;

// Moves exactly `count` bytes from the current position of `source` to `target`:
// while more than `blockSize` bytes remain, one block; then the rest in one
// piece. A source that ends early raises an error naming the target file.
void CopyChunked(BinaryFile& source, BinaryFile& target, int64_t count, CopyBuffer& buffer,
                 uint32_t blockSize, const BlockCallback& afterBlock = {});
Status TryCopyChunked(BinaryFile& source, BinaryFile& target, int64_t count, CopyBuffer& buffer,
                      uint32_t blockSize, const CheckedBlockCallback& afterBlock = {});

// Appends the whole file at `sourcePath` to `target` and returns the bytes written.
// The size is taken when the file is opened, so the count is what was really copied.
int64_t AppendFile(BinaryFile& target, const std::wstring& sourcePath, CopyBuffer& buffer,
                   uint32_t blockSize, const BlockCallback& afterBlock = {});
Expected<int64_t> TryAppendFile(BinaryFile& target, const std::wstring& sourcePath,
                                CopyBuffer& buffer, uint32_t blockSize);

struct TextsSplit {
  uint32_t Crc = 0;      // of the bytes moved, taken while moving them
  int64_t FileSize = 0;  // Setup.dat's length
};

// Splits Setup.dat into readme.dat (first readMeSize bytes) and license.dat (the
// next licenseSize bytes). Both files are always created.
Expected<TextsSplit> SplitTexts(const std::wstring& textsPath, int64_t readMeSize,
                                int64_t licenseSize, const std::wstring& readMePath,
                                const std::wstring& licensePath, CopyBuffer& buffer);
