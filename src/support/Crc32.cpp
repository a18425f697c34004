#include "support/Crc32.h"

#include <array>
#include <atomic>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace {
constexpr uint32_t kPolynomial = 0xEDB88320u;  // reflected 0x04C11DB7

using Tables = std::array<std::array<uint32_t, 256>, 8>;

// Table k gives the CRC of a byte followed by k zero bytes, so eight table
// look-ups advance the CRC by eight bytes at once.
void MakeTables(Tables& tables) noexcept {
  for (uint32_t byte = 0; byte < 256; ++byte) {
    uint32_t crc = byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (kPolynomial & (0u - (crc & 1u)));
    tables[0][byte] = crc;
  }
  for (uint32_t byte = 0; byte < 256; ++byte)
    for (size_t k = 1; k < 8; ++k)
      tables[k][byte] = (tables[k - 1][byte] >> 8) ^ tables[0][tables[k - 1][byte] & 0xFFu];
}

// Made on first use rather than stored: 8 KB less in every program, the
// self-extractor among them, for a few microseconds once. The first caller
// makes them; one that comes while they are being made waits (the packer's
// threads may sum at once). No function-local static: see the processor check.
Tables g_tables;
enum TablesState : int { kNoTables, kMakingTables, kTablesReady };
std::atomic<int> g_tablesState{kNoTables};

const Tables& ReadyTables() noexcept {
  if (g_tablesState.load(std::memory_order_acquire) != kTablesReady) {
    int expected = kNoTables;
    if (g_tablesState.compare_exchange_strong(expected, kMakingTables, std::memory_order_acquire)) {
      MakeTables(g_tables);
      g_tablesState.store(kTablesReady, std::memory_order_release);
    } else {
      while (g_tablesState.load(std::memory_order_acquire) != kTablesReady) {
      }
    }
  }
  return g_tables;
}

inline uint32_t LoadLittleEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Carry-less multiplication folds 64 bytes per step, several times faster than
// the tables; used for runs of 64 bytes or more on processors that have it.
// `crc` is the inverted running value. A fold over a distance of D bits takes
// x^(D+32) and x^(D-32) modulo the polynomial (bit-reflected, shifted left by
// one); the reduction takes x^64, then the polynomial and its Barrett quotient.
#if defined(__i386__) || defined(__x86_64__)
#define KOVRIN_CRC32_FOLDING 1
#if defined(__i386__)
// The 32-bit Windows stack is only 4-byte aligned at a call.
#define KOVRIN_ALIGN_STACK __attribute__((force_align_arg_pointer))
#else
#define KOVRIN_ALIGN_STACK
#endif
#define KOVRIN_FOLDING_TARGET __attribute__((target("pclmul,sse4.1")))
KOVRIN_FOLDING_TARGET inline __m128i Load(const void* at) {
  return _mm_loadu_si128(static_cast<const __m128i*>(at));
}

// One 128-bit lane moved on by the distance `k` stands for, then `next` added.
KOVRIN_FOLDING_TARGET inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  const __m128i low = _mm_clmulepi64_si128(x, k, 0x00);
  return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x11), next), low);
}

// 128 bits left in `x` after folding, then `size` (a multiple of 16) bytes at
// `p`: the 16-byte blocks, then 128 bits to 64 and Barrett reduction to 32.
KOVRIN_FOLDING_TARGET uint32_t FinishFolding(__m128i x1, const uint8_t* p, size_t size) noexcept {
  alignas(16) static const uint64_t k3k4[2] = {0x01751997d0, 0x00ccaa009e};
  alignas(16) static const uint64_t k5k0[2] = {0x0163cd6124, 0};
  alignas(16) static const uint64_t poly[2] = {0x01db710641, 0x01f7011641};
  __m128i k = Load(k3k4);
  for (; size >= 16; size -= 16, p += 16) x1 = Fold(x1, k, Load(p));

  const __m128i mask = _mm_setr_epi32(~0, 0, ~0, 0);
  __m128i x2 = _mm_clmulepi64_si128(x1, k, 0x10);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
  k = _mm_loadl_epi64(static_cast<const __m128i*>(static_cast<const void*>(k5k0)));
  x2 = _mm_srli_si128(x1, 4);
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x00), x2);
  k = Load(poly);
  x2 = _mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x10);
  x2 = _mm_clmulepi64_si128(_mm_and_si128(x2, mask), k, 0x00);
  return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, x2), 1));
}

// Four 128-bit lanes, 64 bytes per step. `size` is at least 64 and a multiple of 16.
KOVRIN_FOLDING_TARGET KOVRIN_ALIGN_STACK uint32_t FoldBlocks(uint32_t crc, const uint8_t* p,
                                                             size_t size) noexcept {
  alignas(16) static const uint64_t k1k2[2] = {0x0154442bd4, 0x01c6e41596};
  alignas(16) static const uint64_t k3k4[2] = {0x01751997d0, 0x00ccaa009e};
  __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x2 = Load(p + 16), x3 = Load(p + 32), x4 = Load(p + 48);
  p += 64;
  size -= 64;
  __m128i k = Load(k1k2);
  for (; size >= 64; size -= 64, p += 64) {
    x1 = Fold(x1, k, Load(p));
    x2 = Fold(x2, k, Load(p + 16));
    x3 = Fold(x3, k, Load(p + 32));
    x4 = Fold(x4, k, Load(p + 48));
  }
  k = Load(k3k4);
  return FinishFolding(Fold(Fold(Fold(x1, k, x2), k, x3), k, x4), p, size);
}

// The same folding four 512-bit registers wide (256 bytes per step) on processors
// with the vector form of the instruction; about twice the 128-bit throughput.
#define KOVRIN_WIDE_TARGET __attribute__((target("pclmul,sse4.1,avx512f,vpclmulqdq")))
KOVRIN_WIDE_TARGET inline __m512i WideFold(__m512i x, __m512i k, __m512i next) {
  const __m512i low = _mm512_clmulepi64_epi128(x, k, 0x00);
  return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(x, k, 0x11), low, next, 0x96);
}

KOVRIN_WIDE_TARGET inline __m512i Broadcast(uint64_t nearK, uint64_t farK) {
  return _mm512_broadcast_i32x4(
      _mm_set_epi64x(static_cast<long long>(farK), static_cast<long long>(nearK)));
}

// `size` is at least 256 and a multiple of 16.
KOVRIN_WIDE_TARGET KOVRIN_ALIGN_STACK uint32_t FoldBlocksWide(uint32_t crc, const uint8_t* p,
                                                              size_t size) noexcept {
  __m512i x1 = _mm512_xor_si512(_mm512_loadu_si512(p),
                                _mm512_castsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc))));
  __m512i x2 = _mm512_loadu_si512(p + 64), x3 = _mm512_loadu_si512(p + 128),
          x4 = _mm512_loadu_si512(p + 192);
  p += 256;
  size -= 256;
  __m512i k = Broadcast(0x011542778a, 0x01322d1430);  // 2048 bits on
  for (; size >= 256; size -= 256, p += 256) {
    x1 = WideFold(x1, k, _mm512_loadu_si512(p));
    x2 = WideFold(x2, k, _mm512_loadu_si512(p + 64));
    x3 = WideFold(x3, k, _mm512_loadu_si512(p + 128));
    x4 = WideFold(x4, k, _mm512_loadu_si512(p + 192));
  }
  k = Broadcast(0x0154442bd4, 0x01c6e41596);  // 512 bits on
  x1 = WideFold(WideFold(WideFold(x1, k, x2), k, x3), k, x4);
  // The four lanes of one register into the last: 384, 256 and 128 bits on.
  const __m128i lane0 = _mm512_castsi512_si128(x1);
  const __m128i lane1 = _mm512_extracti32x4_epi32(x1, 1);
  const __m128i lane2 = _mm512_extracti32x4_epi32(x1, 2);
  __m128i x = _mm512_extracti32x4_epi32(x1, 3);
  x = Fold(lane0, _mm_set_epi64x(0x0174359406, 0x003db1ecdc), x);
  x = Fold(lane1, _mm_set_epi64x(0x015a546366, 0x00f1da05aa), x);
  x = Fold(lane2, _mm_set_epi64x(0x00ccaa009e, 0x01751997d0), x);
  return FinishFolding(x, p, size);
}

// What the processor and the system offer, asked once. CPUID directly rather
// than __builtin_cpu_supports: that brings the compiler's whole processor
// table (some 5 KB) into every program. No function-local static either: its
// guard would pull the C++ run-time into the self-extractor.
enum Folding : int { kNotAsked = -1, kNoFolding, kFolding, kWideFolding };
std::atomic<int> g_folding{kNotAsked};  // the packer's threads may ask at once

Folding AskFolding() noexcept {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
    return kNoFolding;
  const bool pclmul = ecx & bit_PCLMUL, sse41 = ecx & bit_SSE4_1, osxsave = ecx & bit_OSXSAVE;
  if (!pclmul || !sse41)
    return kNoFolding;
  if (!osxsave || !__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) || !(ebx & bit_AVX512F) ||
      !(ecx & bit_VPCLMULQDQ))
    return kFolding;
  // The system saves the vector, mask and upper ZMM registers on a switch.
  unsigned low = 0, high = 0;
  __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  constexpr unsigned kAvx512State = 0xE6;
  return (low & kAvx512State) == kAvx512State ? kWideFolding : kFolding;
}

Folding AvailableFolding() noexcept {
  int folding = g_folding.load(std::memory_order_relaxed);
  if (folding == kNotAsked) {
    folding = AskFolding();
    g_folding.store(folding, std::memory_order_relaxed);
  }
  return static_cast<Folding>(folding);
}

bool CanFold() noexcept {
  return AvailableFolding() >= kFolding;
}

bool CanFoldWide() noexcept {
  return AvailableFolding() == kWideFolding;
}
#endif
}  // namespace

size_t Crc32FoldingStep() noexcept {
#ifdef KOVRIN_CRC32_FOLDING
  return CanFoldWide() ? 256 : CanFold() ? 64 : 0;
#else
  return 0;
#endif
}

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size) noexcept {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  crc = ~crc;
#ifdef KOVRIN_CRC32_FOLDING
  if (size >= 64 && CanFold()) {
    const size_t folded = size & ~size_t{15};
    crc = folded >= 256 && CanFoldWide() ? FoldBlocksWide(crc, p, folded)
                                         : FoldBlocks(crc, p, folded);
    p += folded;
    size -= folded;
  }
#endif
  const Tables& tables = ReadyTables();
  for (; size >= 8; size -= 8, p += 8) {
    const uint32_t low = LoadLittleEndian32(p) ^ crc;
    const uint32_t high = LoadLittleEndian32(p + 4);
    crc = tables[7][low & 0xFFu] ^ tables[6][(low >> 8) & 0xFFu] ^ tables[5][(low >> 16) & 0xFFu] ^
          tables[4][low >> 24] ^ tables[3][high & 0xFFu] ^ tables[2][(high >> 8) & 0xFFu] ^
          tables[1][(high >> 16) & 0xFFu] ^ tables[0][high >> 24];
  }
  for (; size > 0; --size, ++p) crc = (crc >> 8) ^ tables[0][(crc ^ *p) & 0xFFu];
  return ~crc;
}

namespace {
// a * b modulo the polynomial, both bit-reflected (x^0 is the top bit).
uint32_t MultiplyModulo(uint32_t a, uint32_t b) noexcept {
  uint32_t product = 0;
  for (uint32_t m = 1u << 31; m != 0; m >>= 1) {
    if (a & m)
      product ^= b;
    b = (b >> 1) ^ (kPolynomial & (0u - (b & 1u)));
  }
  return product;
}
}  // namespace

uint32_t Crc32Combine(uint32_t first, uint32_t second, uint64_t secondSize) noexcept {
  // first * x^(8 * secondSize), by squaring: power holds x^(8 * 2^k).
  uint32_t power = 1u << 23;  // x^8
  uint32_t shift = 1u << 31;  // x^0
  for (uint64_t n = secondSize; n != 0; n >>= 1) {
    if (n & 1)
      shift = MultiplyModulo(shift, power);
    power = MultiplyModulo(power, power);
  }
  return MultiplyModulo(first, shift) ^ second;
}
