#pragma once
// The operand split over a stream handed over in consecutive pieces, inside
// its program images' ranges: each range is cut into chunks of kMaxSplitChunk
// bytes from its start (the last one shorter), each chunk laid out on its own
// with the range as its span. A chunk is converted once all of it is there.
// The direction is the template's, so the self-extractor, which only joins,
// does not carry the splitting code. No exceptions, no allocation.

#include <cstddef>
#include <cstdint>

#include "formats/BranchFilter.h"
#include "formats/OperandSplit.h"

namespace onefile {

template <bool Split>
class SplitRangeFilter {
 public:
  // `ranges` sorted, not overlapping (one longer than kMaxSplitSpan is left
  // as it is); `scratch` has room for kMaxSplitChunk bytes.
  SplitRangeFilter(const FilterRange* ranges, uint32_t count, uint8_t* scratch) noexcept
      : ranges_(ranges), count_(count), scratch_(scratch) {}

  // As RangeFilter::Run, but the bytes left open are the start of a chunk
  // not yet whole: fewer than kMaxSplitChunk of them.
  size_t Run(uint8_t* data, size_t size, uint64_t at) noexcept;

 private:
  void Convert(uint8_t* code, const SplitChunk& chunk) noexcept;

  const FilterRange* ranges_;
  uint32_t count_;
  uint8_t* scratch_;
  uint32_t next_ = 0;      // index of the current or next range
  uint64_t position_ = 0;  // stream bytes before this one are final
};

extern template class SplitRangeFilter<true>;
extern template class SplitRangeFilter<false>;
using OperandSplitter = SplitRangeFilter<true>;  // the packer's
using OperandJoiner = SplitRangeFilter<false>;   // the reader's

}  // namespace onefile
