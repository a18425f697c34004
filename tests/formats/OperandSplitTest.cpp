#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "formats/OperandSplit.h"

using namespace onefile;

namespace {
using Bytes = std::vector<uint8_t>;

struct Split {
  Bytes Layout;
  SplitChunk Chunk;
  uint32_t Count = 0;
};

// The layout of `code` as bytes [origin, origin + size) of a span; by default
// the chunk is a span of its own.
Split SplitOf(const Bytes& code, uint32_t origin = 0, uint32_t span = 0) {
  Split split;
  const uint32_t size = static_cast<uint32_t>(code.size());
  split.Chunk = {origin, size, span ? span : size};
  split.Layout.resize(code.size());
  split.Count = SplitOperands(code.data(), split.Chunk, split.Layout.data());
  return split;
}

// The code rebuilt from a layout; fails the test when JoinOperands refuses it.
Bytes Joined(const Split& split) {
  Bytes out(split.Layout.size(), 0xCC);
  EXPECT_TRUE(JoinOperands(split.Layout.data(), split.Chunk, out.data()));
  return out;
}

Bytes Big(uint32_t value) {
  return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
          static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

// The stored value of operand `index` (0: the first in the code), which stand
// at the layout's end, the first one last.
Bytes StoredOperand(const Split& split, size_t index) {
  const auto end = split.Layout.end() - static_cast<ptrdiff_t>(4 * index);
  return Bytes(end - 4, end);
}

// Bytes dense in branch opcodes and in operand values near the chunk's size
// and near 2^32, where the stored values change meaning.
Bytes BranchDense(size_t size, std::mt19937& random) {
  Bytes bytes(size);
  for (uint8_t& byte : bytes) {
    const unsigned pick = random() % 12;
    byte = pick < 2    ? 0xE8
           : pick == 2 ? 0xE9
           : pick == 3 ? 0x0F
           : pick == 4 ? static_cast<uint8_t>(0x80 + random() % 16)
           : pick < 7  ? 0x00
           : pick < 9  ? 0xFF
                       : static_cast<uint8_t>(random());
  }
  return bytes;
}
}  // namespace

TEST(OperandSplit, CallsToOneFunctionStoreTheSameTargetAtTheEnd) {
  // Two calls to offset 0x40 from different places, and a conditional jump to
  // offset 0x08: the other bytes come first, then the targets, the first last.
  Bytes code(0x50, 0x90);
  const auto put = [&](size_t at, Bytes bytes) {
    std::copy(bytes.begin(), bytes.end(), code.begin() + at);
  };
  put(0x00, {0xE8, 0x3B, 0x00, 0x00, 0x00});        // ends at 5: 5 + 0x3B = 0x40
  put(0x10, {0xE8, 0x2B, 0x00, 0x00, 0x00});        // ends at 0x15: 0x15 + 0x2B = 0x40
  put(0x20, {0x0F, 0x85, 0xE2, 0xFF, 0xFF, 0xFF});  // ends at 0x26: 0x26 - 0x1E = 0x08
  const Split split = SplitOf(code);
  ASSERT_EQ(split.Count, 3u);
  EXPECT_EQ(StoredOperand(split, 0), Big(0x40));
  EXPECT_EQ(StoredOperand(split, 1), Big(0x40));
  EXPECT_EQ(StoredOperand(split, 2), Big(0x08));
  EXPECT_EQ(split.Layout[0], 0xE8);         // the first call's opcode
  EXPECT_EQ(split.Layout[0x10 - 4], 0xE8);  // the second one's, one operand less
  EXPECT_EQ(split.Layout[0x20 - 8], 0x0F);
  EXPECT_EQ(split.Layout[0x20 - 8 + 1], 0x85);
  EXPECT_EQ(split.Layout[0x50 - 12 - 1], 0x90);  // the code's last byte before the operands
  EXPECT_EQ(Joined(split), code);
}

TEST(OperandSplit, OperandsOutsideTheChunkKeepOrMoveTheirValueAndComeBack) {
  // Size 0x20. A far call keeps its operand; one whose operand is below the
  // size but whose target is past the end would read as a target, so it is
  // moved just below 2^32; an operand that does not fit before the end stays.
  Bytes code(0x20, 0x90);
  const auto put = [&](size_t at, Bytes bytes) {
    std::copy(bytes.begin(), bytes.end(), code.begin() + at);
  };
  put(0x00, {0xE9, 0x00, 0x00, 0x10, 0x00});  // operand 0x100000, target far away
  put(0x08, {0xE8, 0x18, 0x00, 0x00, 0x00});  // operand 0x18, target 0x0D + 0x18 = 0x25
  put(0x1C, {0xE8, 0x01, 0x02, 0x03});        // 4 bytes left: no whole operand
  const Split split = SplitOf(code);
  ASSERT_EQ(split.Count, 2u);
  EXPECT_EQ(StoredOperand(split, 0), Big(0x00100000));
  EXPECT_EQ(StoredOperand(split, 1), Big(0x18u - 0x20u));  // 0xFFFFFFF8
  // The last four bytes of code hold no whole operand and stand before the two moved.
  EXPECT_TRUE(std::equal(code.begin() + 0x1C, code.end(), split.Layout.end() - 12));
  EXPECT_EQ(Joined(split), code);
}

TEST(OperandSplit, TargetsCountFromTheSpanSoCallsAcrossChunksRepeat) {
  // The same call to span offset 0x100 from two chunks of one span: both store
  // 0x100, and a call from chunk offset 0 back to the span's start stores 0.
  Bytes first(0x40, 0x90), second(0x40, 0x90);
  const uint32_t toFirst = 0x100 - (0x80 + 5);    // the chunk starts at span offset 0x80
  const uint32_t toSecond = 0x100 - (0x1C0 + 5);  // this one at 0x1C0
  first[0] = second[0] = 0xE8;
  for (int i = 0; i < 4; ++i) {
    first[1 + i] = static_cast<uint8_t>(toFirst >> (8 * i));
    second[1 + i] = static_cast<uint8_t>(toSecond >> (8 * i));
  }
  const uint32_t back = 0u - (0x1C0 + 0x15);
  second[0x10] = 0xE9;
  for (int i = 0; i < 4; ++i) second[0x11 + i] = static_cast<uint8_t>(back >> (8 * i));
  const Split a = SplitOf(first, 0x80, 0x300);
  const Split b = SplitOf(second, 0x1C0, 0x300);
  ASSERT_EQ(a.Count, 1u);
  ASSERT_EQ(b.Count, 2u);
  EXPECT_EQ(StoredOperand(a, 0), Big(0x100));
  EXPECT_EQ(StoredOperand(b, 0), Big(0x100));
  EXPECT_EQ(StoredOperand(b, 1), Big(0));
  EXPECT_EQ(Joined(a), first);
  EXPECT_EQ(Joined(b), second);
}

TEST(OperandSplit, EveryValueAtEveryPlaceComesBack) {
  // Operands at the edges of each stored range, at the first and last places
  // an operand fits, in chunks of several sizes.
  for (uint32_t size : {6u, 7u, 64u, 4096u}) {
    for (uint32_t at : {0u, 1u, size - 6, size - 5}) {
      const uint32_t end = at + 5;
      for (uint32_t operand : {0u, 1u, size - 1, size, size + 1, 0u - end, 0u - end - 1, 0u - 1,
                               0u - size, 0u - size - 1, 0x7FFFFFFFu, 0x80000000u}) {
        Bytes code(size, 0x90);
        code[at] = 0xE8;
        for (int i = 0; i < 4; ++i) code[at + 1 + i] = static_cast<uint8_t>(operand >> (8 * i));
        for (const uint32_t origin : {0u, 1000u}) {
          const Split split = SplitOf(code, origin, origin ? kMaxSplitSpan : 0);
          ASSERT_EQ(split.Count, 1u) << size << " " << at;
          EXPECT_EQ(Joined(split), code) << "size " << size << ", at " << at << ", operand "
                                         << operand << ", origin " << origin;
        }
      }
    }
  }
}

TEST(OperandSplit, RandomChunksDenseInBranchesComeBack) {
  std::mt19937 random(7);
  for (int round = 0; round < 400; ++round) {
    const Bytes code = BranchDense(round < 300 ? random() % 48 : random() % 20000, random);
    const uint32_t origin = round % 2 ? random() % 5000 : 0;
    const Split split =
        SplitOf(code, origin, round % 2 ? origin + code.size() + random() % 5000 : 0);
    ASSERT_LE(uint64_t{split.Count} * 4, code.size());
    ASSERT_EQ(Joined(split), code) << "round " << round;
  }
}

TEST(OperandSplit, ThisTestProgramSplitInChunksComesBack) {
  wchar_t path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  std::ifstream file(path, std::ios::binary);
  const Bytes image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GT(image.size(), 100000u);
  uint64_t moved = 0;
  for (size_t at = 0; at < image.size(); at += kMaxSplitChunk) {
    const Bytes chunk(image.begin() + at,
                      image.begin() + std::min(image.size(), at + kMaxSplitChunk));
    const Split split =
        SplitOf(chunk, static_cast<uint32_t>(at), static_cast<uint32_t>(image.size()));
    moved += split.Count;
    ASSERT_EQ(Joined(split), chunk) << "chunk at " << at;
  }
  EXPECT_GT(moved, image.size() / 100) << "a program has calls and jumps";
}

TEST(OperandSplit, AnyBytesJoinToCodeThatSplitsBackToThem) {
  // Joining is the inverse of splitting over all chunks of a size: damaged or
  // forged bytes rebuild to some code of the same size, never read or write
  // outside it, and that code splits back to them.
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    const Bytes forged = BranchDense(random() % 64, random);
    const uint32_t size = static_cast<uint32_t>(forged.size());
    Bytes code(size + 8, 0xCC);
    ASSERT_TRUE(JoinOperands(forged.data(), {0, size, size}, code.data()));
    EXPECT_TRUE(std::all_of(code.begin() + size, code.end(), [](uint8_t b) { return b == 0xCC; }));
    code.resize(size);
    EXPECT_EQ(SplitOf(code).Layout, forged) << "round " << round;
  }
}

TEST(OperandSplit, JoinRefusesAChunkOutsideItsSpan) {
  const Bytes code(64, 0x90);
  Bytes out(code.size(), 0xCC);
  EXPECT_FALSE(JoinOperands(code.data(), {1, 64, 64}, out.data()));
  EXPECT_FALSE(JoinOperands(code.data(), {0xFFFFFFF0u, 64, 0xFFFFFFF0u}, out.data()));
  EXPECT_FALSE(JoinOperands(code.data(), {0, 64, kMaxSplitSpan + 1}, out.data()));
  EXPECT_FALSE(JoinOperands(code.data(), {0, kMaxSplitChunk + 1, kMaxSplitSpan}, out.data()));
  EXPECT_EQ(out, Bytes(code.size(), 0xCC)) << "nothing written";
  EXPECT_TRUE(JoinOperands(code.data(), {0, 64, 64}, out.data()));
  EXPECT_EQ(out, code);
  EXPECT_TRUE(JoinOperands(nullptr, {0, 0, 0}, nullptr)) << "an empty chunk";
}
