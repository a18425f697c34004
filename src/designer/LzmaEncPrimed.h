#pragma once
/* LzmaEnc_MemEncode for a block that goes on from the bytes before it: the
   decoder keeps its dictionary from the blocks before and resets only the
   coder's state (probabilities, state and repeated distances), as LZMA2 does
   between its chunks. The encoder sees the `before` bytes at the front of `src`
   in its match finder but encodes only the rest, as if they were the last
   bytes it had encoded itself at stream position `position` (the unpacked
   bytes before the block, which the decoder has counted too). `before` must
   not exceed the dictionary size; with `before` = 0 this is LzmaEnc_MemEncode
   with an end mark. */

#include "LzmaEnc.h"

#ifdef __cplusplus
extern "C" {
#endif

SRes LzmaEnc_MemEncodeAfter(CLzmaEncHandle p, Byte* dest, SizeT* destLen, const Byte* src,
                            SizeT srcLen, UInt32 before, UInt64 position,
                            ICompressProgress* progress, ISzAlloc* alloc, ISzAlloc* allocBig);

#ifdef __cplusplus
}
#endif
