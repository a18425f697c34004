#include "designer/IncompressibleStretches.h"

#include <algorithm>

#include "support/Crc32.h"

namespace {
// Random bytes give sum(count^2) of about n^2 / 256 + n over a chunk of n; text
// and code give several times that. 250 leaves random chunks a margin of 2%.
bool SpreadLikeRandom(const uint32_t (&counts)[256], uint64_t n) {
  uint64_t squares = 0;
  for (uint32_t count : counts) squares += uint64_t{count} * count;
  return squares * 250 <= n * n;
}
}  // namespace

IncompressibleStretches::IncompressibleStretches(std::vector<onefile::FilterRange> filtered)
    : filtered_(std::move(filtered)) {}

void IncompressibleStretches::Add(const uint8_t* data, size_t size) {
  while (size > 0) {
    const size_t take = std::min<size_t>(size, kChunkSize - inChunk_);
    for (size_t i = 0; i < take; ++i) ++counts_[data[i]];
    chunkCrc_ = Crc32Update(chunkCrc_, data, take);
    inChunk_ += static_cast<uint32_t>(take);
    data += take;
    size -= take;
    if (inChunk_ == kChunkSize)
      EndChunk();
  }
}

bool IncompressibleStretches::Filtered(uint64_t start, uint64_t end) {
  while (nextFiltered_ < filtered_.size() &&
         filtered_[nextFiltered_].Offset + filtered_[nextFiltered_].Size <= start)
    ++nextFiltered_;
  return nextFiltered_ < filtered_.size() && filtered_[nextFiltered_].Offset < end;
}

void IncompressibleStretches::EndChunk() {
  const bool incompressible = SpreadLikeRandom(counts_, inChunk_) &&
                              !Filtered(at_, at_ + inChunk_) && seen_.insert(chunkCrc_).second;
  if (incompressible) {
    if (runChunks_++ == 0)
      runStart_ = at_;
  } else {
    EndRun();
  }
  at_ += inChunk_;
  inChunk_ = 0;
  chunkCrc_ = 0;
  std::fill(std::begin(counts_), std::end(counts_), 0u);
}

void IncompressibleStretches::EndRun() {
  if (runChunks_ >= kLeastChunks)
    found_.push_back({runStart_, uint64_t{runChunks_} * kChunkSize});
  runChunks_ = 0;
}

std::vector<onefile::FilterRange> IncompressibleStretches::Finish(size_t most) {
  EndRun();  // a last chunk shorter than the others is compressed
  if (found_.size() > most)
    found_.resize(most);
  return found_;
}
