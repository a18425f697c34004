#pragma once
// The unpacked bytes of a single file's stream, in order: its LZMA blocks
// decoded one after the other, each ended by its end mark, and the layout of
// the program images' ranges undone (the branch filter, from version 6 on the
// operand split); from version 4 on the stored stretches copied between them.
// A version-1 stream is one block with nothing filtered; the blocks of version
// 2 are independent, those of version 3 and later go on from the dictionary
// before them. Reads the compressed bytes through a fixed buffer and writes
// into a fixed one; no exceptions.

#include <windows.h>

#include <cstdint>

#include "LzmaDec.h"
#include "formats/CodeFilter.h"
#include "formats/SingleFileFormat.h"

inline constexpr DWORD kStreamInputBlock = 1 << 16;   // compressed bytes read at a time
inline constexpr DWORD kStreamOutputBlock = 1 << 20;  // unpacked bytes made at a time
// A chunk of the operand split is undone once it is whole in the output.
static_assert(kStreamOutputBlock >= onefile::kMaxSplitChunk);

class BlockStream {
 public:
  // `file` stands at the stream's first byte; `input` has kStreamInputBlock
  // bytes, `output` kStreamOutputBlock, `scratch` onefile::kMaxSplitChunk
  // (null will do for a header that does not split operands).
  BlockStream(HANDLE file, const onefile::Header& header, uint8_t* input, uint8_t* output,
              uint8_t* scratch);
  ~BlockStream();
  BlockStream(const BlockStream&) = delete;
  BlockStream& operator=(const BlockStream&) = delete;

  // The dictionary: SZ_ERROR_MEM when there is no room, another error for
  // properties the decoder refuses.
  SRes Allocate();
  // The next unpacked bytes, at most `most` of them (at least one); false when
  // the stream is damaged: cut short, a block ending early or running on.
  bool Next(uint64_t most, const uint8_t*& data, size_t& size);
  // After the last byte: the last block's end mark must be there and the
  // stream must end with it, its CRC-32 as recorded.
  bool Finish();

 private:
  bool Refill();
  bool StartBlock();
  bool EndBlock();
  bool CopyStored();
  bool Decode();

  const onefile::Header& header_;
  onefile::CodeDecoder filter_;
  CLzmaDec state_;
  // The compressed stream, read front to back, its CRC-32 summed on the way.
  HANDLE file_;
  uint8_t* input_;
  uint64_t unread_;
  DWORD inputAt_ = 0;
  DWORD inputSize_ = 0;
  uint32_t crc_ = 0;
  // Unpacked bytes: [read_, final_) ready, [final_, filled_) still open to the filter.
  uint8_t* output_;
  size_t read_ = 0;
  size_t final_ = 0;
  size_t filled_ = 0;
  uint64_t outputAt_ = 0;   // stream offset of output_[0]
  uint64_t decoded_ = 0;    // unpacked bytes made so far
  uint64_t blockLeft_ = 0;  // bytes of the current piece still to come
  uint32_t nextStored_ = 0;
  bool inBlock_ = false;
  bool stored_ = false;  // the current piece is stored, not coded
  bool anyBlock_ = false;
  bool anyCoded_ = false;
  ELzmaStatus status_ = LZMA_STATUS_NOT_SPECIFIED;
};
