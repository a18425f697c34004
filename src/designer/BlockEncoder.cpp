#include "designer/BlockEncoder.h"

#include <cstdlib>
#include <memory>

#include "support/Error.h"

namespace {
void* LzmaAlloc(void*, size_t size) {
  return std::malloc(size);
}
void LzmaFree(void*, void* address) {
  std::free(address);
}
ISzAlloc kLzmaAllocator = {LzmaAlloc, LzmaFree};

// Counts what the encoder has read and asks it to stop on a request.
struct BlockProgress : ICompressProgress {
  // The encoder counts from the block's stream offset.
  BlockProgress(BlockRun& run, uint64_t start) : run(run), reported(start) {
    Progress = &BlockProgress::Report;
  }
  static SRes Report(void* self, UInt64 inSize, UInt64 /*outSize*/) {
    BlockProgress& me = *static_cast<BlockProgress*>(self);
    me.run.Compressed += inSize - me.reported;
    me.reported = inSize;
    return me.run.Stop ? SZ_ERROR_PROGRESS : SZ_OK;
  }
  BlockRun& run;
  uint64_t reported;
};

struct EncoderDeleter {
  void operator()(void* encoder) const {
    LzmaEnc_Destroy(encoder, &kLzmaAllocator, &kLzmaAllocator);
  }
};
}  // namespace

bool WriteEncoderProperties(const CLzmaEncProps& props, uint8_t (&out)[LZMA_PROPS_SIZE]) {
  std::unique_ptr<void, EncoderDeleter> encoder(LzmaEnc_Create(&kLzmaAllocator));
  SizeT size = LZMA_PROPS_SIZE;
  return encoder && LzmaEnc_SetProps(encoder.get(), &props) == SZ_OK &&
         LzmaEnc_WriteProperties(encoder.get(), out, &size) == SZ_OK;
}

BlockEncoder::BlockEncoder(BlockRun& run, size_t capacity, size_t lookAhead)
    : run_(run),
      input_(capacity + lookAhead),
      // Incompressible bytes grow by under 2% in LZMA.
      output_(capacity + capacity / 16 + 65536) {}

BlockEncoder::~BlockEncoder() {
  if (Busy()) {
    run_.Stop = true;
    WaitForSingleObject(thread_.Get(), INFINITE);
  }
}

void BlockEncoder::Start(size_t before, size_t size, uint64_t position) {
  before_ = before;
  inputSize_ = size;
  position_ = position;
  outputSize_ = 0;
  result_ = SZ_OK;
  thread_.Reset(CreateThread(nullptr, 0, &BlockEncoder::ThreadMain, this, 0, nullptr));
  if (!thread_)
    ThrowSystemError(L"Не удалось запустить поток сжатия", GetLastError());
}

SRes BlockEncoder::Finish() {
  WaitForSingleObject(thread_.Get(), INFINITE);
  thread_.Reset();
  return result_;
}

DWORD WINAPI BlockEncoder::ThreadMain(void* self) {
  static_cast<BlockEncoder*>(self)->Encode();
  return 0;
}

void BlockEncoder::Encode() {
  std::unique_ptr<void, EncoderDeleter> encoder(LzmaEnc_Create(&kLzmaAllocator));
  if (!encoder) {
    result_ = SZ_ERROR_MEM;
    return;
  }
  result_ = LzmaEnc_SetProps(encoder.get(), &run_.Props);
  if (result_ != SZ_OK)
    return;
  BlockProgress progress(run_, position_);
  SizeT written = output_.size();
  result_ = LzmaEnc_MemEncodeAfter(encoder.get(), output_.data(), &written, input_.data(),
                                   before_ + inputSize_, static_cast<UInt32>(before_), position_,
                                   &progress, &kLzmaAllocator, &kLzmaAllocator);
  outputSize_ = written;
}
