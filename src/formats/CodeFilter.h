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

// The most bytes that a code filter of this version leaves open at the end
// of a piece.
inline size_t MostOpenCodeBytes(uint16_t version) noexcept {
  return SplitsOperands(version) ? kMaxSplitChunk - 1 : kBranchSize - 1;
}

// `Encode` for the packer, not for the reader: the reader carries only the
// way back.
template <bool Encode>
class CodeFilterOf {
 public:
  // `scratch` has room for kMaxSplitChunk bytes; it may be null for a header
  // whose version does not split operands.
  CodeFilterOf(const Header& header, uint8_t* scratch) noexcept
      : split_(SplitsOperands(header.Version)),
        branch_(header.Ranges, header.RangeCount, Encode),
        operands_(header.Ranges, header.RangeCount, scratch) {}

  size_t Run(uint8_t* data, size_t size, uint64_t at) noexcept {
    return split_ ? operands_.Run(data, size, at) : branch_.Run(data, size, at);
  }

 private:
  bool split_;
  RangeFilter branch_;
  SplitRangeFilter<Encode> operands_;
};

using CodeEncoder = CodeFilterOf<true>;
using CodeDecoder = CodeFilterOf<false>;

}  // namespace onefile
