#pragma once
// One block of the process heap, freed when it goes out of scope: the
// self-extractor's buffers, without the C++ allocator and its exceptions.

#include <windows.h>

#include <cstddef>
#include <cstdint>

class HeapBlock {
 public:
  HeapBlock() = default;
  explicit HeapBlock(size_t size) { Allocate(size); }
  ~HeapBlock() { Free(); }
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;

  // Replaces the block with a new one of `size` bytes; false when there is no room.
  bool Allocate(size_t size) {
    Free();
    bytes_ = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, size ? size : 1));
    return bytes_ != nullptr;
  }
  uint8_t* Get() const { return bytes_; }

 private:
  void Free() {
    if (bytes_)
      HeapFree(GetProcessHeap(), 0, bytes_);
    bytes_ = nullptr;
  }
  uint8_t* bytes_ = nullptr;
};
