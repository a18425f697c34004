#include "formats/Payload.h"

#include "support/Crc32.h"
#include "support/Error.h"

void CopyChunked(BinaryFile& source, BinaryFile& target, int64_t count, CopyBuffer& buffer,
                 uint32_t blockSize, const BlockCallback& afterBlock) {
  int64_t remaining = count < 0 ? 0 : count;
  auto move = [&](uint32_t piece) {
    uint32_t got = 0;
    while (got < piece) {
      uint32_t done = source.Read(buffer.Data() + got, piece - got);
      if (done == 0)
        Raise(KovrinError(L"\"" + source.Path() + L"\" ends before \"" + target.Path() +
                          L"\" is complete: the package is damaged or incomplete."));
      got += done;
    }
    target.Write(buffer.Data(), piece);
    if (afterBlock)
      afterBlock(buffer.Data(), piece);
  };
  while (remaining > blockSize) {
    move(blockSize);
    remaining -= blockSize;
  }
  move(static_cast<uint32_t>(remaining));
}

int64_t AppendFile(BinaryFile& target, const std::wstring& sourcePath, CopyBuffer& buffer,
                   uint32_t blockSize, const BlockCallback& afterBlock) {
  BinaryFile source = BinaryFile::OpenRead(sourcePath);
  const int64_t size = source.Size();
  CopyChunked(source, target, size, buffer, blockSize, afterBlock);
  return size;
}

TextsSplit SplitTexts(const std::wstring& textsPath, int64_t readMeSize, int64_t licenseSize,
                      const std::wstring& readMePath, const std::wstring& licensePath,
                      CopyBuffer& buffer) {
  BinaryFile texts = BinaryFile::OpenRead(textsPath);
  TextsSplit split;
  split.FileSize = texts.Size();
  const BlockCallback checksum = [&split](const char* block, uint32_t size) {
    split.Crc = Crc32Update(split.Crc, block, size);
  };
  {
    BinaryFile readMe = BinaryFile::Create(readMePath);
    CopyChunked(texts, readMe, readMeSize, buffer, kPayloadBlock, checksum);
  }
  BinaryFile license = BinaryFile::Create(licensePath);
  CopyChunked(texts, license, licenseSize, buffer, kPayloadBlock, checksum);
  return split;
}
