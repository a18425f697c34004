#pragma once
// Stretches of the single file's stream that LZMA would not make smaller:
// already compressed media and archives. They are stored as they are, which
// saves the 1% that LZMA adds to such bytes and all the time it spends on them.
// The stream is looked at in 64 KB chunks at fixed offsets: a chunk whose
// bytes are spread as evenly as random ones is incompressible unless the same
// chunk came before (then LZMA would find it again), and a run of at least
// 64 such chunks (4 MB) outside the filtered program images is one stretch.
// Shorter ones are left to LZMA: the coded piece after a stretch has its
// encoder take in half a dictionary's worth of bytes before it again, which
// costs about as much time as compressing 3 MB.

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "formats/BranchFilter.h"

class IncompressibleStretches {
 public:
  static constexpr uint32_t kChunkSize = 64u << 10;
  static constexpr uint32_t kLeastChunks = 64;

  // `filtered` in stream order; those bytes are never stored.
  explicit IncompressibleStretches(std::vector<onefile::FilterRange> filtered);

  // The stream's next bytes.
  void Add(const uint8_t* data, size_t size);
  // The stretches found, in stream order, at most `most` of them.
  std::vector<onefile::FilterRange> Finish(size_t most);

 private:
  void EndChunk();
  void EndRun();
  bool Filtered(uint64_t start, uint64_t end);

  std::vector<onefile::FilterRange> filtered_;
  size_t nextFiltered_ = 0;
  std::vector<onefile::FilterRange> found_;
  std::unordered_set<uint32_t> seen_;  // CRC-32 of the incompressible chunks so far
  uint32_t counts_[256] = {};
  uint32_t chunkCrc_ = 0;
  uint32_t inChunk_ = 0;
  uint64_t at_ = 0;        // stream offset of the current chunk
  uint64_t runStart_ = 0;  // of the current run of incompressible chunks
  uint32_t runChunks_ = 0;
};
