#include "designer/MovedMembers.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <utility>

#include "support/Crc32.h"
#include "support/FileSystem.h"

namespace {
// Random bytes give sum(count^2) of about n + n(n - 1) / 256 over n bytes; text
// and code give many times the second term even for a few hundred bytes.
bool SpreadLikeRandom(const uint64_t (&counts)[256], uint64_t n) {
  uint64_t squares = 0;
  for (uint64_t count : counts) squares += count * count;
  return (squares - n) * 128 <= n * (n - 1);
}

bool HoldsImage(uint64_t start, uint64_t end, const std::vector<onefile::FilterRange>& images) {
  return std::any_of(images.begin(), images.end(), [&](const onefile::FilterRange& image) {
    return image.Offset < end && start < image.Offset + image.Size;
  });
}

struct Member {
  uint64_t Offset = 0;
  uint64_t Size = 0;
  uint32_t Crc = 0;
};
}  // namespace

std::vector<onefile::FilterRange> FindMovedMembers(const std::wstring& path, uint64_t size,
                                                   const std::vector<uint64_t>& parts,
                                                   const std::vector<onefile::FilterRange>& images,
                                                   size_t most) {
  if (parts.empty() || std::accumulate(parts.begin(), parts.end(), uint64_t{0}) != size)
    return {};
  std::vector<Member> randomLike;
  std::map<std::pair<uint64_t, uint32_t>, int> seen;  // size and CRC-32 of every member
  BinaryFile file = BinaryFile::OpenRead(path);
  std::vector<uint8_t> buffer(1u << 20);
  uint64_t offset = 0;
  for (uint64_t part : parts) {
    uint64_t counts[256] = {};
    uint32_t crc = 0;
    for (uint64_t left = part; left > 0;) {
      const uint32_t got =
          file.Read(buffer.data(), static_cast<uint32_t>(std::min<uint64_t>(left, buffer.size())));
      if (got == 0)
        return {};  // shorter than it was: the packer reports it
      for (uint32_t i = 0; i < got; ++i) ++counts[buffer[i]];
      crc = Crc32Update(crc, buffer.data(), got);
      left -= got;
    }
    ++seen[{part, crc}];
    if (part >= kLeastMovedMember && SpreadLikeRandom(counts, part) &&
        !HoldsImage(offset, offset + part, images))
      randomLike.push_back({offset, part, crc});
    offset += part;
  }
  std::vector<onefile::FilterRange> runs;
  uint64_t total = 0;
  for (const Member& member : randomLike) {
    if (seen[{member.Size, member.Crc}] > 1)
      continue;
    if (!runs.empty() && runs.back().Offset + runs.back().Size == member.Offset)
      runs.back().Size += member.Size;
    else if (runs.size() < most)
      runs.push_back({member.Offset, member.Size});
    else
      break;
    total += member.Size;
  }
  if (total < kLeastMovedTotal)
    return {};
  return runs;
}
