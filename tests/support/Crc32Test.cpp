#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "support/Crc32.h"

namespace {
// Bit by bit, straight from the polynomial: an independent oracle for the tables.
uint32_t BitwiseCrc32(const std::vector<uint8_t>& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc;
}

uint32_t OfText(const char* text) {
  return Crc32(text, std::strlen(text));
}
}  // namespace

TEST(Crc32, KnownVectors) {
  EXPECT_EQ(OfText(""), 0u);
  EXPECT_EQ(OfText("a"), 0xE8B7BE43u);
  EXPECT_EQ(OfText("123456789"), 0xCBF43926u);
  EXPECT_EQ(OfText("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
  const std::vector<uint8_t> zeros(32, 0);
  EXPECT_EQ(Crc32(zeros.data(), zeros.size()), 0x190A55ADu);
}

TEST(Crc32, AgreesWithTheBitwiseDefinitionAtEveryLengthAndAlignment) {
  std::mt19937 random(7);
  // Runs of 64 bytes and more take the 128-bit carry-less path, runs of 256 and
  // more the 512-bit one, where the processor has them.
  std::vector<uint8_t> bytes(4099);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  for (size_t offset = 0; offset < 8; ++offset)
    for (size_t length :
         {0,   1,   7,   8,   9,   15,  16,  17,  63,  64,  65,  79,  80,  127,  128, 129,
          143, 191, 192, 255, 256, 257, 271, 320, 511, 512, 527, 767, 768, 1000, 4091}) {
      const std::vector<uint8_t> piece(bytes.begin() + offset, bytes.begin() + offset + length);
      EXPECT_EQ(Crc32(bytes.data() + offset, length), BitwiseCrc32(piece))
          << "offset " << offset << ", length " << length;
    }
}

TEST(Crc32, RunningValueOverPiecesEqualsTheWhole) {
  const char* text = "123456789";
  for (size_t split = 0; split <= 9; ++split) {
    uint32_t crc = Crc32Update(0, text, split);
    crc = Crc32Update(crc, text + split, 9 - split);
    EXPECT_EQ(crc, 0xCBF43926u) << "split at " << split;
  }
  uint32_t crc = 0;
  for (size_t i = 0; i < 9; ++i) crc = Crc32Update(crc, text + i, 1);
  EXPECT_EQ(crc, 0xCBF43926u);
}

#if defined(__i386__) || defined(__x86_64__)
// The processor's own answer decides which code runs: a wrong bit would run
// instructions it does not have, or leave the fast path unused.
TEST(Crc32, FoldsAsFarAsTheProcessorAndTheSystemAllow) {
  const bool fold = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
  const bool wide =
      fold && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq");
  EXPECT_EQ(Crc32FoldingStep(), wide ? 256u : fold ? 64u : 0u);
}
#endif

// Pieces summed apart and joined afterwards, in order or each moved on by the
// bytes after it (how the self-extractor sums a file written out of order).
TEST(Crc32, CombinedPiecesEqualTheWhole) {
  std::mt19937 random(11);
  std::vector<uint8_t> bytes(70000);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  const uint32_t whole = BitwiseCrc32(bytes);
  for (size_t cut : {size_t{0}, size_t{1}, size_t{7}, size_t{4096}, size_t{69999}, bytes.size()}) {
    const uint32_t first = Crc32(bytes.data(), cut);
    const uint32_t second = Crc32(bytes.data() + cut, bytes.size() - cut);
    EXPECT_EQ(Crc32Combine(first, second, bytes.size() - cut), whole) << cut;
  }
  const size_t ends[] = {300, 301, 50000, bytes.size()};
  uint32_t folded = 0;
  for (size_t i = 0, start = 0; i < 4; start = ends[i++]) {
    const uint32_t piece = Crc32(bytes.data() + start, ends[i] - start);
    folded ^= Crc32Combine(piece, 0, bytes.size() - ends[i]);
  }
  EXPECT_EQ(folded, whole);
  EXPECT_EQ(Crc32Combine(0, 0, 0), 0u);
}
