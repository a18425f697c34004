#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "formats/BranchFilter.h"

using namespace onefile;

namespace {
using Bytes = std::vector<uint8_t>;

// Code-like bytes: many CALL and JMP opcodes, their operands often near (top
// byte 00 or FF), and opcodes inside operands, which the filter must skip.
Bytes CodeLike(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) {
    const unsigned pick = random() % 16;
    bytes[i] = pick < 3    ? 0xE8
               : pick == 3 ? 0xE9
               : pick < 6  ? 0x00
               : pick < 8  ? 0xFF
                           : random() & 0xFF;
  }
  return bytes;
}

// Runs the filter over `bytes` in pieces of random length, as the packer and
// the self-extractor hand them over: the bytes that were not final come again.
void RunInPieces(Bytes& bytes, const std::vector<FilterRange>& ranges, bool encode, unsigned seed) {
  RangeFilter filter(ranges.data(), static_cast<uint32_t>(ranges.size()), encode);
  std::mt19937 random(seed);
  size_t at = 0;
  size_t reach = 0;
  while (at < bytes.size()) {
    reach = std::min(bytes.size(), std::max(reach, at) + 1 + random() % 3000);
    at += filter.Run(bytes.data() + at, reach - at, at);
    ASSERT_LE(at, reach);
    if (reach == bytes.size()) {
      ASSERT_EQ(at, reach) << "every byte is final once the stream has ended";
    }
  }
}

Bytes Filtered(Bytes bytes, const std::vector<FilterRange>& ranges, bool encode) {
  RangeFilter filter(ranges.data(), static_cast<uint32_t>(ranges.size()), encode);
  EXPECT_EQ(filter.Run(bytes.data(), bytes.size(), 0), bytes.size());
  return bytes;
}
}  // namespace

TEST(BranchFilter, ConvertsCallsToAbsoluteTargetsInsideRangesOnly) {
  // A CALL at range offset 0x10 to 0x100 bytes past its end becomes 0x115;
  // the same bytes outside the range, or too close to its end, stay.
  Bytes bytes(64, 0x90);
  const Bytes call = {0xE8, 0x00, 0x01, 0x00, 0x00};
  std::copy(call.begin(), call.end(), bytes.begin() + 0x10);
  std::copy(call.begin(), call.end(), bytes.begin() + 0x28);  // ends 3 bytes past the range
  std::copy(call.begin(), call.end(), bytes.begin() + 0x34);  // after the range
  const Bytes out = Filtered(bytes, {{0, 0x2A}}, true);
  EXPECT_EQ(Bytes(out.begin() + 0x10, out.begin() + 0x15), Bytes({0xE8, 0x15, 0x01, 0x00, 0x00}));
  EXPECT_EQ(Bytes(out.begin() + 0x15, out.end()), Bytes(bytes.begin() + 0x15, bytes.end()));
  // A range of its own counts positions from its own start.
  const Bytes shifted = Filtered(bytes, {{0x08, 0x22}}, true);
  EXPECT_EQ(shifted[0x11], 0x0D);
  // A far operand (top byte neither 00 nor FF) is data, not a call.
  Bytes far = bytes;
  far[0x14] = 0x12;
  EXPECT_EQ(Filtered(far, {{0, 0x2A}}, true), far);
}

TEST(BranchFilter, PiecesGiveTheSameBytesAsOneRunAndDecodingRestoresThem) {
  const Bytes original = CodeLike(200000, 5);
  const std::vector<FilterRange> ranges = {{3, 70000}, {70003, 9}, {70100, 100000}, {199990, 10}};
  const Bytes whole = Filtered(original, ranges, true);
  EXPECT_NE(whole, original);
  for (unsigned seed : {1u, 2u, 3u}) {
    Bytes pieces = original;
    RunInPieces(pieces, ranges, true, seed);
    ASSERT_EQ(pieces, whole) << "seed " << seed;
    RunInPieces(pieces, ranges, false, seed + 10);
    ASSERT_EQ(pieces, original) << "seed " << seed;
  }
  // Nothing outside the ranges changes.
  EXPECT_TRUE(std::equal(original.begin(), original.begin() + 3, whole.begin()));
  EXPECT_TRUE(
      std::equal(original.begin() + 170100, original.begin() + 199990, whole.begin() + 170100));
}
