#include "formats/OperandSplit.h"

namespace onefile {
namespace {
constexpr uint32_t kOperandSize = 4;

// The opcode bytes of a branch with a 32-bit operand that starts with `opcode`
// (`next` is the byte after it, or -1 at the chunk's end); 0 when it is none.
uint32_t OpcodeLength(uint8_t opcode, int next) noexcept {
  if (opcode == 0xE8 || opcode == 0xE9)
    return 1;
  if (opcode == 0x0F && next >= 0x80 && next <= 0x8F)
    return 2;
  return 0;
}

// The value stored for an operand that ends at `end` of a span of `size`
// bytes. A target inside the span is stored as the target; operands that
// could be mistaken for one (below `size`) are moved into the values no
// target takes, just below 2^32, which the other operands never hold
// ([2^32 - end, 2^32) are the operands of targets 0..end-1, inside: `size`
// under 2^31 keeps them apart from [0, size)). Any other value stays as it
// is. All arithmetic is modulo 2^32.
uint32_t Stored(uint32_t operand, uint32_t end, uint32_t size) noexcept {
  const uint32_t target = operand + end;
  if (target < size)
    return target;
  if (operand >= size)
    return operand;
  return operand - size;
}

uint32_t Operand(uint32_t stored, uint32_t end, uint32_t size) noexcept {
  if (stored < size)
    return stored - end;
  if (stored >= 0u - end)
    return stored + size;
  return stored;
}

uint32_t ReadLittle(const uint8_t* p) noexcept {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint32_t ReadBig(const uint8_t* p) noexcept {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}

void WriteLittle(uint8_t* p, uint32_t value) noexcept {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

void WriteBig(uint8_t* p, uint32_t value) noexcept {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// Walks the branches of `code` as SplitOperands moves them: calls
// `moved(at, opcodeLength)` for each whose operand fits before the end.
template <typename Moved>
void ForEachBranch(const uint8_t* code, uint32_t size, Moved moved) noexcept {
  uint32_t at = 0;
  while (at < size) {
    const uint32_t opcode = OpcodeLength(code[at], at + 1 < size ? code[at + 1] : -1);
    if (opcode != 0 && size - at >= opcode + kOperandSize) {
      moved(at, opcode);
      at += opcode + kOperandSize;
    } else {
      ++at;
    }
  }
}
}  // namespace

bool SplitChunk::Valid() const noexcept {
  return Size <= kMaxSplitChunk && Span <= kMaxSplitSpan && Origin <= Span && Size <= Span - Origin;
}

uint32_t SplitOperands(const uint8_t* code, const SplitChunk& chunk, uint8_t* out) noexcept {
  const uint32_t size = chunk.Size;
  uint8_t* rest = out;
  uint8_t* operands = out + size;  // filled from the end towards the front
  uint32_t copied = 0;             // bytes of `code` before `at` already placed
  uint32_t count = 0;
  ForEachBranch(code, size, [&](uint32_t at, uint32_t opcode) {
    for (; copied < at + opcode; ++copied) *rest++ = code[copied];
    const uint32_t end = at + opcode + kOperandSize;
    operands -= kOperandSize;
    WriteBig(operands, Stored(ReadLittle(code + at + opcode), chunk.Origin + end, chunk.Span));
    copied = end;
    ++count;
  });
  for (; copied < size; ++copied) *rest++ = code[copied];
  return count;
}

bool JoinOperands(const uint8_t* split, const SplitChunk& chunk, uint8_t* out) noexcept {
  if (!chunk.Valid())
    return false;
  const uint32_t size = chunk.Size;
  // The other bytes run up to where the operands taken so far begin: `at`
  // (taken + four bytes for each operand) reaches the end exactly there.
  const uint8_t* operands = split + size;
  uint32_t taken = 0;
  uint32_t at = 0;
  while (at < size) {
    const uint32_t restEnd = static_cast<uint32_t>(operands - split);
    const uint32_t opcode = OpcodeLength(split[taken], taken + 1 < restEnd ? split[taken + 1] : -1);
    if (opcode == 0 || size - at < opcode + kOperandSize) {
      out[at++] = split[taken++];
      continue;
    }
    // The room check keeps the operand clear of the bytes before it.
    for (uint32_t i = 0; i < opcode; ++i) out[at++] = split[taken++];
    operands -= kOperandSize;
    WriteLittle(out + at, Operand(ReadBig(operands), chunk.Origin + at + kOperandSize, chunk.Span));
    at += kOperandSize;
  }
  return true;
}

}  // namespace onefile
