#pragma once
// One block of the single file's stream compressed on a thread of its own: an
// LZMA stream with its end mark, into memory, whose matches may reach into the
// unpacked bytes before the block (given to it ahead of the block's own). The
// packer keeps a few of these busy and writes their output in block order, so
// the bytes do not depend on how many run at once.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "designer/LzmaEncPrimed.h"
#include "support/Handle.h"

// What every block's thread shares with the packer: the settings, the bytes
// compressed so far (for the progress bar) and a request to stop.
struct BlockRun {
  CLzmaEncProps Props;
  std::atomic<uint64_t> Compressed{0};
  std::atomic<bool> Stop{false};
};

// The five properties bytes that every block's decoder needs; false when the
// settings are out of range.
bool WriteEncoderProperties(const CLzmaEncProps& props, uint8_t (&out)[LZMA_PROPS_SIZE]);

class BlockEncoder {
 public:
  // Room for `capacity` input bytes (the bytes before the block and the
  // block's own) and the filter's look-ahead behind them.
  BlockEncoder(BlockRun& run, size_t capacity, size_t lookAhead);
  // Stops and waits for the thread still running.
  ~BlockEncoder();
  BlockEncoder(const BlockEncoder&) = delete;
  BlockEncoder& operator=(const BlockEncoder&) = delete;

  uint8_t* Input() { return input_.data(); }
  size_t InputCapacity() const { return input_.size(); }
  bool Busy() const { return thread_.Valid(); }
  HANDLE Thread() const { return thread_.Get(); }

  // Starts compressing input bytes [before, before + size) of a block that
  // begins at unpacked stream offset `position`; the `before` bytes ahead of
  // them are the stream's last before the block. Raises KovrinError when no
  // thread can be started.
  void Start(size_t before, size_t size, uint64_t position);
  // Waits for the block and returns the encoder's result; the output is valid
  // when it is SZ_OK.
  SRes Finish();
  const uint8_t* Output() const { return output_.data(); }
  size_t OutputSize() const { return outputSize_; }

 private:
  static DWORD WINAPI ThreadMain(void* self);
  void Encode();

  BlockRun& run_;
  std::vector<uint8_t> input_;
  std::vector<uint8_t> output_;
  size_t before_ = 0;
  size_t inputSize_ = 0;
  uint64_t position_ = 0;
  size_t outputSize_ = 0;
  SRes result_ = SZ_OK;
  KernelHandle thread_;
};
