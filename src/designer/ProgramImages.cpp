#include "designer/ProgramImages.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "support/Error.h"
#include "support/FileSystem.h"

namespace {
constexpr size_t kScanBlock = 1 << 20;

uint32_t Get16(const uint8_t* p) {
  return static_cast<uint32_t>(p[0] | p[1] << 8);
}
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

ImageLayout ReadImageLayout(const uint8_t* head, size_t size, uint64_t available) {
  constexpr uint32_t kAtNewHeader = 0x3C;
  constexpr uint32_t kCoffSize = 20;
  constexpr uint32_t kSectionSize = 40;
  constexpr uint32_t kMaxSections = 96;
  constexpr uint32_t kExecutable = 0x00000020 | 0x20000000;  // holds code, or may run
  ImageLayout layout;
  if (size < 0x40 || head[0] != 'M' || head[1] != 'Z')
    return layout;
  const uint32_t pe = Get32(head + kAtNewHeader);
  if (pe < 0x40 || pe > size - 4 - kCoffSize || std::memcmp(head + pe, "PE\0\0", 4) != 0)
    return layout;
  const uint32_t machine = Get16(head + pe + 4);
  if (machine != 0x14C && machine != 0x8664)  // i386, AMD64: what the x86 filter fits
    return layout;
  const uint32_t sections = Get16(head + pe + 6);
  const uint32_t optionalSize = Get16(head + pe + 20);
  const uint64_t table = uint64_t{pe} + 4 + kCoffSize + optionalSize;
  if (sections == 0 || sections > kMaxSections || table + sections * kSectionSize > size)
    return layout;
  uint64_t end = table + sections * kSectionSize;
  for (uint32_t i = 0; i < sections; ++i) {
    const uint8_t* section = head + table + i * kSectionSize;
    const uint64_t rawSize = Get32(section + 16);
    const uint64_t rawStart = Get32(section + 20);
    if (rawSize == 0)
      continue;
    end = std::max(end, rawStart + rawSize);
    if (Get32(section + 36) & kExecutable)
      layout.Code.push_back({rawStart, rawSize});
  }
  layout.Size = std::min(end, available);
  // Headers may list sections in any order, overlapping or past the file's end.
  std::sort(layout.Code.begin(), layout.Code.end(),
            [](const onefile::FilterRange& a, const onefile::FilterRange& b) {
              return a.Offset < b.Offset;
            });
  std::vector<onefile::FilterRange> code;
  uint64_t covered = 0;
  for (const onefile::FilterRange& section : layout.Code) {
    const uint64_t from = std::max(section.Offset, covered);
    const uint64_t to = std::min(section.Offset + section.Size, layout.Size);
    if (to >= from + onefile::kBranchSize) {
      code.push_back({from, to - from});
      covered = to;
    }
  }
  layout.Code = std::move(code);
  return layout;
}

FoundImages FindProgramImages(const std::wstring& path, uint64_t fileSize) {
  FoundImages found;
  BinaryFile file = BinaryFile::OpenRead(path);
  // Each block is scanned with the probe's length of the next one behind it,
  // so headers that cross a block's end are seen whole.
  std::vector<uint8_t> buffer(kScanBlock + kImageProbeSize);
  size_t held = 0;      // bytes at the buffer's front, starting at `start`
  uint64_t start = 0;   // file offset of buffer[0]
  uint64_t skipTo = 0;  // the end of the last image found
  for (;;) {
    const uint64_t unread = fileSize - (start + held);
    const uint32_t want = static_cast<uint32_t>(std::min<uint64_t>(buffer.size() - held, unread));
    if (want > 0)
      file.ReadExact(buffer.data() + held, want);
    held += want;
    const bool last = start + held == fileSize;
    const size_t scanEnd = last ? held : held - kImageProbeSize;
    for (size_t i = 0; i < scanEnd; ++i) {
      if (buffer[i] != 'M' || start + i < skipTo)
        continue;
      const uint64_t at = start + i;
      const ImageLayout image = ReadImageLayout(buffer.data() + i, held - i, fileSize - at);
      if (image.Size >= onefile::kBranchSize) {
        found.Images.push_back({at, image.Size});
        for (const onefile::FilterRange& code : image.Code)
          found.Code.push_back({at + code.Offset, code.Size});
        skipTo = at + image.Size;
      }
    }
    if (last)
      return found;
    std::memmove(buffer.data(), buffer.data() + scanEnd, held - scanEnd);
    start += scanEnd;
    held -= scanEnd;
  }
}
