#pragma once
// The layout of a single file's program images, as its version names it: the
// branch filter up to version 5, the operand split from version 6 on. Both
// take the stream in consecutive pieces and leave the last bytes of one open
// until the next comes (see RangeFilter::Run). No exceptions, no allocation.

#include <cstddef>
#include <cstdint>

#include "formats/BranchFilter.h"
#include "formats/SingleFileFormat.h"
#include "formats/SplitRangeFilter.h"

namespace onefile {

class CodeFilter {
 public:
  // `scratch` has room for kMaxSplitChunk bytes; it may be null for a header
  // whose version does not split operands.
  CodeFilter(const Header& header, bool encode, uint8_t* scratch) noexcept
      : split_(SplitsOperands(header.Version)),
        branch_(header.Ranges, header.RangeCount, encode),
        operands_(header.Ranges, header.RangeCount, encode, scratch) {}

  size_t Run(uint8_t* data, size_t size, uint64_t at) noexcept {
    return split_ ? operands_.Run(data, size, at) : branch_.Run(data, size, at);
  }

  // The most bytes that Run leaves open at the end of a piece.
  static size_t MostOpen(uint16_t version) noexcept {
    return SplitsOperands(version) ? kMaxSplitChunk - 1 : kBranchSize - 1;
  }

 private:
  bool split_;
  RangeFilter branch_;
  SplitRangeFilter operands_;
};

}  // namespace onefile
