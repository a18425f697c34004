/* The encoder's own translation unit with one more entry point: it needs the
   encoder's private state, which only code compiled together with it sees. */

#include "LzmaEncPrimed.h"

#include "LzmaEnc.c"

SRes LzmaEnc_MemEncodeAfter(CLzmaEncHandle pp, Byte* dest, SizeT* destLen, const Byte* src,
                            SizeT srcLen, UInt32 before, UInt64 position,
                            ICompressProgress* progress, ISzAlloc* alloc, ISzAlloc* allocBig) {
  SRes res;
  CLzmaEnc* p = (CLzmaEnc*)pp;
  CSeqOutStreamBuf outStream;

  if (before > srcLen || before > p->dictSize || (before != 0 && position < before))
    return SZ_ERROR_PARAM;

  outStream.funcTable.Write = MyWrite;
  outStream.data = dest;
  outStream.rem = *destLen;
  outStream.overflow = False;

  p->writeEndMark = 1;
  p->rc.outStream = &outStream.funcTable;
  res = LzmaEnc_MemPrepare(pp, src, srcLen, 0, alloc, allocBig);
  if (res == SZ_OK && before != 0) {
    /* The match finder takes in the bytes before the block without coding
       them. A nonzero position also keeps the first byte from being coded as
       a stream's first: its literal context is the byte before it. */
    p->matchFinder.Init(p->matchFinderObj);
    p->needInit = 0;
    p->matchFinder.Skip(p->matchFinderObj, before);
    p->nowPos64 = position;
  }
  if (res == SZ_OK)
    res = LzmaEnc_Encode2(p, progress);

  *destLen -= outStream.rem;
  if (outStream.overflow)
    return SZ_ERROR_OUTPUT_EOF;
  return res;
}
