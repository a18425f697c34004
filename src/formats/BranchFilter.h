#pragma once
// The x86 branch filter of program images: the 32-bit operand of each CALL
// (E8) and JMP (E9) is turned from relative into absolute before compression,
// so that calls to one function repeat byte for byte; decoding turns it back.
// It is the conversion that xz names "x86" (BCJ), including the rule that
// skips an opcode byte found among the operand bytes of a recent one, so a
// range filtered on its own gives the same bytes as `xz --x86` on that range.
//
// The stream's filtered ranges come from the single-file header. No
// exceptions, no allocation: the self-extractor links this unit.

#include <cstddef>
#include <cstdint>

namespace onefile {

struct FilterRange {
  uint64_t Offset = 0;  // in the unpacked stream
  uint64_t Size = 0;
};

// An instruction is converted only when all five of its bytes lie in the range.
inline constexpr uint32_t kBranchSize = 5;

// Runs the conversion over a stream handed over in consecutive pieces, inside
// `ranges` (sorted, not overlapping). Each range starts afresh at position 0,
// as a file of its own would.
class RangeFilter {
 public:
  RangeFilter(const FilterRange* ranges, uint32_t count, bool encode) noexcept
      : ranges_(ranges), count_(count), encode_(encode) {}

  // `data` holds the stream's bytes [at, at + size), where `at` is the end of
  // the final bytes of the piece before. Converts what can be; returns how many
  // leading bytes of the piece are final. The others (at most kBranchSize - 1,
  // and none once the piece reaches the end of the last range it touches) must
  // come again at the front of the next piece, unchanged.
  size_t Run(uint8_t* data, size_t size, uint64_t at) noexcept;

 private:
  void StartRange() noexcept;
  // Scans [from, to) of the current range (stream offsets, `to` at least
  // kBranchSize bytes short of the data's end); returns where it stopped.
  uint64_t Scan(uint8_t* data, uint64_t at, uint64_t from, uint64_t to) noexcept;

  const FilterRange* ranges_;
  uint32_t count_;
  bool encode_;
  uint32_t next_ = 0;              // index of the current or next range
  uint32_t started_ = UINT32_MAX;  // the range whose scan has begun
  uint64_t position_ = 0;          // stream bytes before this one are final
  // Which of the last three bytes held an opcode, and whether the fourth
  // operand byte of each was 00 or FF (bits 4..6), as of `lastOpcode_`.
  uint32_t mask_ = 0;
  uint64_t lastOpcode_ = 0;
};

}  // namespace onefile
