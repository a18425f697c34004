#pragma once
// A second layout for x86 code, beside the branch filter: the 32-bit operand
// of every CALL (E8), JMP (E9) and conditional jump (0F 80..8F) leaves its
// place for the end of the chunk, where the operands stand together, four
// bytes each, big-endian, the first one last; the other bytes of the chunk
// come first, in their order.
// A chunk is a stretch of a code section (the span); an operand whose target
// lies inside the span is written as that target, counted from the span's
// start, so that calls to one function repeat; any other keeps its value
// where it can. For each operand place that is a one-to-one mapping of the
// 32-bit values, so nothing records which operands were turned into targets,
// and the other bytes end where the operands not yet taken begin, so nothing
// records their count: the chunk's place in its span rebuilds it. The chunk
// keeps its size.
//
// LZMA then finds the repeated targets among targets and the code without
// the noise of its operands. No exceptions, no allocation: the self-extractor
// can link this unit.

#include <cstdint>

namespace onefile {

// A chunk is buffered whole while it is rebuilt: chunks are cut at most this
// long. 8 MB ones gained under 0.1% on real programs; 256 KB ones lost a
// quarter to a third of the gain.
inline constexpr uint32_t kMaxSplitChunk = 1u << 20;
// Spans are at most this long (the mapping needs them under 2^31 bytes).
inline constexpr uint32_t kMaxSplitSpan = 1u << 30;

// Where a chunk lies: bytes [Origin, Origin + Size) of a span of Span bytes.
struct SplitChunk {
  uint32_t Origin = 0;
  uint32_t Size = 0;
  uint32_t Span = 0;
  // Size at most kMaxSplitChunk, Span at most kMaxSplitSpan, the chunk inside.
  bool Valid() const noexcept;
};

// Writes the split layout of the chunk's code `code` to `out` (Size bytes, not
// overlapping `code`); returns the count of operands moved to the end. The
// chunk must be Valid().
uint32_t SplitOperands(const uint8_t* code, const SplitChunk& chunk, uint8_t* out) noexcept;

// Rebuilds into `out` (Size bytes, not overlapping `split`) the code whose
// layout `split` holds. Any bytes rebuild to some code of the same size (a
// damaged stream is caught by its checksums); false only for a chunk that is
// not Valid(), with nothing written.
bool JoinOperands(const uint8_t* split, const SplitChunk& chunk, uint8_t* out) noexcept;

}  // namespace onefile
