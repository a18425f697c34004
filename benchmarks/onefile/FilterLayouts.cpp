#include "FilterLayouts.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FolderFiles.h"
#include "LzmaEnc.h"
#include "designer/ProgramImages.h"
#include "designer/SingleFilePacker.h"
#include "formats/BranchFilter.h"
#include "formats/SplitRangeFilter.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/Handle.h"

namespace {
using Bytes = std::vector<uint8_t>;

void* Allocate(void*, size_t size) {
  return std::malloc(size);
}
void Release(void*, void* address) {
  std::free(address);
}
ISzAlloc kAllocator = {Allocate, Release};

// The size of `data` as one LZMA stream with the packer's settings, on one
// thread: what the layouts change, without the blocks and stored stretches.
uint64_t CompressedSize(const Bytes& data) {
  const CLzmaEncProps props = EncoderProperties(LzmaSettings{}, data.size());
  Bytes out(data.size() + data.size() / 16 + 65536);
  SizeT outSize = out.size();
  Byte header[LZMA_PROPS_SIZE];
  SizeT headerSize = LZMA_PROPS_SIZE;
  const SRes result = LzmaEncode(out.data(), &outSize, data.data(), data.size(), &props, header,
                                 &headerSize, 1, nullptr, &kAllocator, &kAllocator);
  if (result != SZ_OK)
    throw KovrinError(L"LZMA failed with " + std::to_wstring(result));
  return outSize;
}

void Append(Bytes& out, const std::wstring& path) {
  BinaryFile file = BinaryFile::OpenRead(path);
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(file.Size()));
  file.ReadExact(out.data() + start, static_cast<uint32_t>(out.size() - start));
}
}  // namespace

int CompareFilterLayouts(const std::wstring& folder) {
  Bytes plain;
  std::vector<onefile::FilterRange> code;  // in `plain`
  const std::vector<std::wstring> names = FilesIn(folder);
  for (const std::wstring& name : names) {
    const uint64_t at = plain.size();
    Append(plain, folder + L"\\" + name);
    for (const onefile::FilterRange& range :
         FindProgramImages(folder + L"\\" + name, plain.size() - at).Code)
      code.push_back({at + range.Offset, range.Size});
  }

  Bytes branch = plain;
  onefile::RangeFilter filter(code.data(), static_cast<uint32_t>(code.size()), true);
  filter.Run(branch.data(), branch.size(), 0);

  // The split of version 6, joined again and compared, so the figure is that
  // of a layout that comes back whole.
  std::vector<onefile::FilterRange> splittable;
  uint64_t codeBytes = 0;
  for (const onefile::FilterRange& range : code)
    if (range.Size <= onefile::kMaxSplitSpan) {  // as every code section is
      splittable.push_back(range);
      codeBytes += range.Size;
    }
  const auto count = static_cast<uint32_t>(splittable.size());
  Bytes scratch(onefile::kMaxSplitChunk);
  Bytes split = plain;
  onefile::OperandSplitter(splittable.data(), count, scratch.data())
      .Run(split.data(), split.size(), 0);
  Bytes joined = split;
  onefile::OperandJoiner(splittable.data(), count, scratch.data())
      .Run(joined.data(), joined.size(), 0);
  if (joined != plain)
    throw KovrinError(L"the split layout did not come back whole");

  const uint64_t plainSize = CompressedSize(plain);
  const uint64_t branchSize = CompressedSize(branch);
  const uint64_t splitSize = CompressedSize(split);
  std::printf("files=%zu\nbytes=%zu\ncode_bytes=%llu\n", names.size(), plain.size(),
              static_cast<unsigned long long>(codeBytes));
  std::printf("plain=%llu\nbranch=%llu\nsplit=%llu\n", static_cast<unsigned long long>(plainSize),
              static_cast<unsigned long long>(branchSize),
              static_cast<unsigned long long>(splitSize));
  return 0;
}
