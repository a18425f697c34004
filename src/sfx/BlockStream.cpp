#include "sfx/BlockStream.h"

#include "support/Crc32.h"

// LzmaDec.c defines it for LZMA2's chunks; this SDK's header does not declare it.
extern "C" void LzmaDec_InitDicAndState(CLzmaDec* p, Bool initDic, Bool initState);

namespace {
void* HeapAllocate(void*, size_t size) {
  return HeapAlloc(GetProcessHeap(), 0, size);
}
void HeapRelease(void*, void* address) {
  if (address)
    HeapFree(GetProcessHeap(), 0, address);
}
ISzAlloc kHeapAllocator = {HeapAllocate, HeapRelease};
}  // namespace

BlockStream::BlockStream(HANDLE file, const onefile::Header& header, uint8_t* input,
                         uint8_t* output, uint8_t* scratch)
    : header_(header),
      filter_(header, scratch),
      file_(file),
      input_(input),
      unread_(header.StreamSize),
      output_(output) {
  LzmaDec_Construct(&state_);
}

BlockStream::~BlockStream() {
  LzmaDec_Free(&state_, &kHeapAllocator);
}

SRes BlockStream::Allocate() {
  return LzmaDec_Allocate(&state_, header_.LzmaProps, onefile::kLzmaPropsSize, &kHeapAllocator);
}

bool BlockStream::Refill() {
  if (inputAt_ < inputSize_)
    return true;
  if (unread_ == 0)
    return false;
  const DWORD want = unread_ < kStreamInputBlock ? static_cast<DWORD>(unread_) : kStreamInputBlock;
  DWORD done = 0;
  if (!ReadFile(file_, input_, want, &done, nullptr) || done != want)
    return false;
  crc_ = Crc32Update(crc_, input_, done);
  unread_ -= done;
  inputAt_ = 0;
  inputSize_ = done;
  return true;
}

bool BlockStream::StartBlock() {
  const onefile::Piece piece = onefile::PieceAt(header_, decoded_, nextStored_);
  blockLeft_ = piece.Size;
  stored_ = piece.Stored;
  inBlock_ = anyBlock_ = true;
  if (stored_)
    return blockLeft_ > 0;
  // A coded piece starts its coder afresh. Whether its matches may reach into
  // the pieces before it depends on the version: the dictionary stays or goes.
  if (anyCoded_ && onefile::BlocksShareDictionary(header_.Version))
    LzmaDec_InitDicAndState(&state_, False, True);
  else
    LzmaDec_Init(&state_);
  anyCoded_ = true;
  status_ = LZMA_STATUS_NOT_SPECIFIED;
  return blockLeft_ > 0 || EndBlock();
}

// Moves stored bytes from the input into the room after the open bytes (never
// none: the open bytes at the front of the output are fewer than it holds).
bool BlockStream::CopyStored() {
  if (!Refill())
    return false;  // cut short
  uint64_t size = kStreamOutputBlock - filled_;
  if (size > blockLeft_)
    size = blockLeft_;
  if (size > inputSize_ - inputAt_)
    size = inputSize_ - inputAt_;
  for (uint64_t i = 0; i < size; ++i) output_[filled_ + i] = input_[inputAt_ + i];
  inputAt_ += static_cast<DWORD>(size);
  filled_ += static_cast<size_t>(size);
  decoded_ += size;
  blockLeft_ -= size;
  if (blockLeft_ == 0)
    inBlock_ = false;
  return size > 0;
}

bool BlockStream::EndBlock() {
  while (status_ != LZMA_STATUS_FINISHED_WITH_MARK) {
    if (!Refill())
      return false;
    SizeT produced = 0;
    SizeT consumed = inputSize_ - inputAt_;
    if (LzmaDec_DecodeToBuf(&state_, output_, &produced, input_ + inputAt_, &consumed,
                            LZMA_FINISH_END, &status_) != SZ_OK ||
        (consumed == 0 && status_ != LZMA_STATUS_FINISHED_WITH_MARK))
      return false;
    inputAt_ += static_cast<DWORD>(consumed);
  }
  inBlock_ = false;
  return true;
}

// Decodes more of the current block (starting the next one when needed) into
// the room after the open bytes.
bool BlockStream::Decode() {
  if (!inBlock_ && !StartBlock())
    return false;
  if (stored_)
    return CopyStored();
  for (;;) {
    if (!Refill())
      return false;  // cut short
    const uint64_t room = kStreamOutputBlock - filled_;
    SizeT produced = static_cast<SizeT>(blockLeft_ < room ? blockLeft_ : room);
    SizeT consumed = inputSize_ - inputAt_;
    if (LzmaDec_DecodeToBuf(&state_, output_ + filled_, &produced, input_ + inputAt_, &consumed,
                            LZMA_FINISH_ANY, &status_) != SZ_OK ||
        status_ == LZMA_STATUS_FINISHED_WITH_MARK || (produced == 0 && consumed == 0))
      return false;  // an end mark before the block's last byte, or no progress
    inputAt_ += static_cast<DWORD>(consumed);
    filled_ += produced;
    decoded_ += produced;
    blockLeft_ -= produced;
    if (blockLeft_ == 0)
      return EndBlock();
    if (produced > 0)
      return true;
  }
}

bool BlockStream::Next(uint64_t most, const uint8_t*& data, size_t& size) {
  while (read_ == final_) {
    if (decoded_ == header_.UnpackedSize && filled_ == final_)
      return false;  // asked for more than the stream holds
    // The open bytes move to the front, and more are decoded behind them.
    const size_t open = filled_ - final_;
    if (final_ != 0)
      for (size_t i = 0; i < open; ++i) output_[i] = output_[final_ + i];
    outputAt_ += final_;
    read_ = final_ = 0;
    filled_ = open;
    if (decoded_ < header_.UnpackedSize && !Decode())
      return false;
    final_ = filter_.Run(output_, filled_, outputAt_);
  }
  const size_t ready = final_ - read_;
  size = most < ready ? static_cast<size_t>(most) : ready;
  data = output_ + read_;
  read_ += size;
  return true;
}

bool BlockStream::Finish() {
  if (decoded_ != header_.UnpackedSize || read_ != filled_)
    return false;
  if (!anyBlock_ && !StartBlock())  // an empty package: one block of its end mark alone
    return false;
  if (inBlock_ && !EndBlock())
    return false;
  return inputAt_ == inputSize_ && unread_ == 0 && crc_ == header_.StreamCrc;
}
