#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "formats/CodeFilter.h"
#include "formats/SplitRangeFilter.h"

using namespace onefile;

namespace {
using Bytes = std::vector<uint8_t>;

// A stream with text around two program images' code: a long one of several
// chunks, its last one short, and a small one near the end; calls and jumps
// whose targets lie mostly inside their image.
struct CodeStream {
  Bytes Data;
  std::vector<FilterRange> Ranges;
};

CodeStream MakeStream() {
  CodeStream stream;
  std::mt19937 random(24);
  auto text = [&](size_t size) {
    for (size_t i = 0; i < size; ++i)
      stream.Data.push_back(static_cast<uint8_t>("line of text\r\n"[i % 14]));
  };
  auto code = [&](uint32_t size) {
    const uint64_t start = stream.Data.size();
    for (uint32_t i = 0; i < size; ++i) {
      const uint32_t kind = random() % 16;
      if (kind < 2 && size - i > 5) {
        stream.Data.push_back(kind == 0 ? 0xE8 : 0xE9);
        const uint32_t target = random() % (size + 4000);  // a few beyond the end
        const uint32_t operand = target - (i + 5);
        for (int b = 0; b < 4; ++b) stream.Data.push_back(static_cast<uint8_t>(operand >> 8 * b));
        i += 4;
      } else {
        stream.Data.push_back(static_cast<uint8_t>(random() % 7 == 0 ? 0x0F : random()));
      }
    }
    stream.Ranges.push_back({start, size});
  };
  text(100000);
  code(2 * kMaxSplitChunk + 300001);
  text(70000);
  code(5000);
  text(3);
  return stream;
}

// Runs `filter` over `stream` handed over in pieces of random sizes as the
// packer and the self-extractor do: the open bytes at a piece's end come
// again at the front of the next. Checks that fewer than kMaxSplitChunk stay open.
template <class Filter>
Bytes RunInPieces(Filter& filter, const Bytes& stream, unsigned seed, size_t largest) {
  std::mt19937 random(seed);
  Bytes out;
  Bytes buffer;
  size_t read = 0;
  while (out.size() < stream.size()) {
    const size_t piece = std::min(stream.size() - read, 1 + random() % largest);
    buffer.insert(buffer.end(), stream.begin() + read, stream.begin() + read + piece);
    read += piece;
    const size_t final = filter.Run(buffer.data(), buffer.size(), out.size());
    EXPECT_LE(final, buffer.size());
    out.insert(out.end(), buffer.begin(), buffer.begin() + final);
    buffer.erase(buffer.begin(), buffer.begin() + final);
    EXPECT_LT(buffer.size(), kMaxSplitChunk);
    if (read == stream.size() && final == 0 && !buffer.empty()) {
      ADD_FAILURE() << "bytes left open after the stream's end";
      break;
    }
  }
  return out;
}
}  // namespace

// Each range is cut into chunks from its start, every chunk laid out with
// the range as its span, whatever pieces the stream comes in; the layout
// rebuilds in other pieces.
TEST(SplitRangeFilter, SplitsEachChunkOfEachRangeAndJoinsThemAgain) {
  const CodeStream stream = MakeStream();
  Bytes expected = stream.Data;
  Bytes scratch(kMaxSplitChunk);
  for (const FilterRange& range : stream.Ranges)
    for (uint32_t origin = 0; origin < range.Size; origin += kMaxSplitChunk) {
      SplitChunk chunk;
      chunk.Origin = origin;
      chunk.Span = static_cast<uint32_t>(range.Size);
      chunk.Size = std::min<uint32_t>(kMaxSplitChunk, chunk.Span - origin);
      SplitOperands(stream.Data.data() + range.Offset + origin, chunk, scratch.data());
      std::copy(scratch.begin(), scratch.begin() + chunk.Size,
                expected.begin() + static_cast<ptrdiff_t>(range.Offset + origin));
    }
  ASSERT_NE(expected, stream.Data);

  const auto ranges = static_cast<uint32_t>(stream.Ranges.size());
  for (unsigned seed : {1u, 2u}) {
    OperandSplitter encode(stream.Ranges.data(), ranges, scratch.data());
    const Bytes split = RunInPieces(encode, stream.Data, seed, 300000);
    ASSERT_TRUE(split == expected) << "seed " << seed;
    OperandJoiner decode(stream.Ranges.data(), ranges, scratch.data());
    EXPECT_TRUE(RunInPieces(decode, split, seed + 10, 70000) == stream.Data);
  }
  // Whole at once.
  OperandSplitter whole(stream.Ranges.data(), ranges, scratch.data());
  Bytes all = stream.Data;
  EXPECT_EQ(whole.Run(all.data(), all.size(), 0), all.size());
  EXPECT_TRUE(all == expected);
}

// A range beyond the span limit is left as it is (no header carries one).
TEST(SplitRangeFilter, LeavesARangeBeyondTheSpanLimitAsItIs) {
  Bytes stream(4096, 0xE8);
  const FilterRange ranges[] = {{16, uint64_t{kMaxSplitSpan} + 1}};
  Bytes scratch(kMaxSplitChunk);
  OperandSplitter filter(ranges, 1, scratch.data());
  Bytes data = stream;
  EXPECT_EQ(filter.Run(data.data(), data.size(), 0), data.size());
  EXPECT_TRUE(data == stream);
}

// The version picks the layout: the branch filter up to 5, the split from 6
// on; the decoder of each version takes its encoder's bytes back.
TEST(CodeFilter, VersionPicksTheLayout) {
  const CodeStream stream = MakeStream();
  Bytes scratch(kMaxSplitChunk);
  auto header = std::make_unique<Header>();
  header->RangeCount = static_cast<uint32_t>(stream.Ranges.size());
  std::copy(stream.Ranges.begin(), stream.Ranges.end(), header->Ranges);
  auto encoded = [&](uint16_t version) {
    header->Version = version;
    CodeEncoder encoder(*header, scratch.data());
    Bytes data = stream.Data;
    EXPECT_EQ(encoder.Run(data.data(), data.size(), 0), data.size());
    CodeDecoder decoder(*header, scratch.data());
    Bytes back = data;
    EXPECT_EQ(decoder.Run(back.data(), back.size(), 0), back.size());
    EXPECT_TRUE(back == stream.Data) << "version " << version;
    return data;
  };

  Bytes branch = stream.Data;
  RangeFilter(header->Ranges, header->RangeCount, true).Run(branch.data(), branch.size(), 0);
  EXPECT_TRUE(encoded(kMovedRunsVersion) == branch);
  EXPECT_EQ(MostOpenCodeBytes(kMovedRunsVersion), kBranchSize - 1);

  Bytes split = stream.Data;
  OperandSplitter(header->Ranges, header->RangeCount, scratch.data())
      .Run(split.data(), split.size(), 0);
  EXPECT_TRUE(encoded(kSplitOperandsVersion) == split);
  EXPECT_EQ(MostOpenCodeBytes(kSplitOperandsVersion), kMaxSplitChunk - 1);
}
