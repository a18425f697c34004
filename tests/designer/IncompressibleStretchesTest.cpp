#include <gtest/gtest.h>

#include <string>

#include "SampleBytes.h"
#include "designer/IncompressibleStretches.h"
#include "formats/SingleFileFormat.h"

namespace {
constexpr uint32_t kChunk = IncompressibleStretches::kChunkSize;

std::vector<onefile::FilterRange> Find(const std::string& stream,
                                       std::vector<onefile::FilterRange> filtered = {},
                                       size_t piece = 10007) {
  IncompressibleStretches finder(std::move(filtered));
  for (size_t at = 0; at < stream.size(); at += piece)
    finder.Add(reinterpret_cast<const uint8_t*>(stream.data()) + at,
               std::min(piece, stream.size() - at));
  return finder.Finish(onefile::kMaxStoredRanges);
}
}  // namespace

// Runs of random chunks at their 64 KB places, as long as at least 64 chunks,
// whatever pieces the bytes come in; text is never stored.
TEST(IncompressibleStretches, FindsLongRunsOfRandomChunks) {
  const std::string stream = Text(4 * kChunk) + Noise(70 * kChunk, 1) + Text(5 * kChunk) +
                             Noise(63 * kChunk, 2) + Text(kChunk) + Noise(80 * kChunk + 5, 3);
  const auto found = Find(stream);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].Offset, 4u * kChunk);
  EXPECT_EQ(found[0].Size, 70u * kChunk);
  // 63 chunks are too few; the last run's short tail chunk is left to LZMA.
  EXPECT_EQ(found[1].Offset, 143u * kChunk);
  EXPECT_EQ(found[1].Size, 80u * kChunk);
  EXPECT_EQ(Find(stream, {}, 1 << 20).size(), 2u);
  EXPECT_TRUE(Find(Text(200 * kChunk)).empty());
}

// Program images are filtered, never stored; a chunk seen before is left to
// LZMA, which finds it again; at most as many stretches as asked for.
TEST(IncompressibleStretches, LeavesFilteredRepeatedAndSurplusChunksToLzma) {
  const std::string noise = Noise(130 * kChunk, 4);
  auto found = Find(noise, {{50 * uint64_t{kChunk} + 7, 10}});
  ASSERT_EQ(found.size(), 1u);  // the 50 chunks before the image are too few
  EXPECT_EQ(found[0].Offset, 51u * kChunk);
  EXPECT_EQ(found[0].Size, 79u * kChunk);

  found = Find(noise + noise);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Offset, 0u);
  EXPECT_EQ(found[0].Size, 130u * kChunk);

  std::string many;
  for (uint32_t i = 0; i < 3; ++i) many += Noise(64 * kChunk, 10 + i) + Text(kChunk);
  IncompressibleStretches finder({});
  finder.Add(reinterpret_cast<const uint8_t*>(many.data()), many.size());
  EXPECT_EQ(finder.Finish(2).size(), 2u);
}
