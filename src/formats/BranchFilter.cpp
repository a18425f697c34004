#include "formats/BranchFilter.h"

namespace onefile {
namespace {
// A 32-bit operand whose top byte is 00 or FF is a near target: worth converting.
bool IsNearTop(uint8_t b) {
  return b == 0x00 || b == 0xFF;
}

// Indexed by the opcode history (mask >> 1) & 7: whether a conversion may
// happen, and which byte of the operand an earlier opcode shares.
constexpr bool kMayConvert[8] = {true, true, true, false, true, false, false, false};
constexpr uint32_t kSharedByte[8] = {0, 1, 2, 2, 3, 3, 3, 3};
}  // namespace

void RangeFilter::StartRange() noexcept {
  mask_ = 0;
  lastOpcode_ = ranges_[next_].Offset;  // with no history the distance does not matter
  started_ = next_;
}

uint64_t RangeFilter::Scan(uint8_t* data, uint64_t at, uint64_t from, uint64_t to) noexcept {
  const uint64_t origin = ranges_[next_].Offset;
  uint64_t i = from;
  while (i < to) {
    uint8_t* op = data + (i - at);
    if (op[0] != 0xE8 && op[0] != 0xE9) {
      ++i;
      continue;
    }
    const uint64_t distance = i - lastOpcode_;
    lastOpcode_ = i;
    if (distance > kBranchSize)
      mask_ = 0;
    else
      for (uint64_t step = 0; step < distance; ++step) mask_ = (mask_ & 0x77) << 1;

    const uint32_t history = (mask_ >> 1) & 7;
    if (!IsNearTop(op[4]) || !kMayConvert[history] || (mask_ >> 1) >= 0x10) {
      mask_ |= 1;
      if (IsNearTop(op[4]))
        mask_ |= 0x10;
      ++i;
      continue;
    }
    // The operand counts from the end of the instruction, at its place in the range.
    const uint32_t next = static_cast<uint32_t>(i - origin) + kBranchSize;
    uint32_t value = static_cast<uint32_t>(op[1]) | static_cast<uint32_t>(op[2]) << 8 |
                     static_cast<uint32_t>(op[3]) << 16 | static_cast<uint32_t>(op[4]) << 24;
    uint32_t converted;
    for (;;) {
      converted = encode_ ? value + next : value - next;
      if (mask_ == 0)
        break;
      // An earlier opcode byte inside this operand: keep that byte near too.
      const uint32_t shared = kSharedByte[mask_ >> 1];
      if (!IsNearTop(static_cast<uint8_t>(converted >> (24 - shared * 8))))
        break;
      value = converted ^ ((1u << (32 - shared * 8)) - 1);
    }
    op[1] = static_cast<uint8_t>(converted);
    op[2] = static_cast<uint8_t>(converted >> 8);
    op[3] = static_cast<uint8_t>(converted >> 16);
    op[4] = (converted >> 24 & 1) ? 0xFF : 0x00;
    i += kBranchSize;
    mask_ = 0;
  }
  return i;
}

size_t RangeFilter::Run(uint8_t* data, size_t size, uint64_t at) noexcept {
  const uint64_t end = at + size;
  while (position_ < end) {
    while (next_ < count_ && ranges_[next_].Offset + ranges_[next_].Size <= position_) ++next_;
    if (next_ == count_) {
      position_ = end;  // nothing to convert after the last range
      break;
    }
    const FilterRange& range = ranges_[next_];
    if (range.Offset >= end) {
      position_ = end;
      break;
    }
    if (position_ < range.Offset)
      position_ = range.Offset;
    if (started_ != next_)
      StartRange();
    const uint64_t rangeEnd = range.Offset + range.Size;
    // The last opcode that can be converted starts kBranchSize bytes before the end.
    const uint64_t dataEnd = rangeEnd <= end ? rangeEnd : end;
    if (dataEnd - position_ >= kBranchSize)
      position_ = Scan(data, at, position_, dataEnd - kBranchSize + 1);
    if (rangeEnd <= end) {
      position_ = rangeEnd;  // its last few bytes hold no whole instruction
      ++next_;
      continue;
    }
    break;  // the range goes on in the next piece
  }
  return static_cast<size_t>(position_ - at);
}

}  // namespace onefile
