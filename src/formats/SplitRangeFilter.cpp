#include "formats/SplitRangeFilter.h"

namespace onefile {

template <bool Split>
void SplitRangeFilter<Split>::Convert(uint8_t* code, const SplitChunk& chunk) noexcept {
  if constexpr (Split)
    SplitOperands(code, chunk, scratch_);
  else
    JoinOperands(code, chunk, scratch_);  // the chunk is valid: Run cuts it so
  for (uint32_t i = 0; i < chunk.Size; ++i) code[i] = scratch_[i];
}

template <bool Split>
size_t SplitRangeFilter<Split>::Run(uint8_t* data, size_t size, uint64_t at) noexcept {
  const uint64_t end = at + size;
  while (position_ < end) {
    while (next_ < count_ && ranges_[next_].Offset + ranges_[next_].Size <= position_) ++next_;
    if (next_ == count_ || ranges_[next_].Offset >= end) {
      position_ = end;  // no code before the piece's end
      break;
    }
    const FilterRange& range = ranges_[next_];
    if (range.Size > kMaxSplitSpan) {  // not written so: a reader refuses such a header
      const uint64_t rangeEnd = range.Offset + range.Size;
      position_ = rangeEnd < end ? rangeEnd : end;
      continue;
    }
    if (position_ < range.Offset)
      position_ = range.Offset;
    // Chunks are cut from the range's start, so position_ stands at one.
    SplitChunk chunk;
    chunk.Origin = static_cast<uint32_t>(position_ - range.Offset);
    chunk.Span = static_cast<uint32_t>(range.Size);
    const uint64_t left = range.Size - chunk.Origin;
    chunk.Size = left < kMaxSplitChunk ? static_cast<uint32_t>(left) : kMaxSplitChunk;
    if (chunk.Size > end - position_)
      break;  // the chunk goes on in the next piece
    Convert(data + (position_ - at), chunk);
    position_ += chunk.Size;
  }
  return static_cast<size_t>(position_ - at);
}

template class SplitRangeFilter<true>;
template class SplitRangeFilter<false>;

}  // namespace onefile
