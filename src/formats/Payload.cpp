#include "formats/Payload.h"

#include "support/Crc32.h"
#include "support/Error.h"

Status TryCopyChunked(BinaryFile& source, BinaryFile& target, int64_t count, CopyBuffer& buffer,
                      uint32_t blockSize, const CheckedBlockCallback& afterBlock) {
  int64_t remaining = count < 0 ? 0 : count;
  auto move = [&](uint32_t piece) -> Status {
    uint32_t got = 0;
    while (got < piece) {
      const Expected<uint32_t> done = source.TryRead(buffer.Data() + got, piece - got);
      if (!done)
        return done.Error();
      if (*done == 0)
        return Failure(L"\"" + source.Path() + L"\" ends before \"" + target.Path() +
                       L"\" is complete: the package is damaged or incomplete.");
      got += *done;
    }
    if (Status written = target.TryWrite(buffer.Data(), piece); !written)
      return written;
    return afterBlock ? afterBlock(buffer.Data(), piece) : Status();
  };
  while (remaining > blockSize) {
    if (Status moved = move(blockSize); !moved)
      return moved;
    remaining -= blockSize;
  }
  return move(static_cast<uint32_t>(remaining));
}

void CopyChunked(BinaryFile& source, BinaryFile& target, int64_t count, CopyBuffer& buffer,
                 uint32_t blockSize, const BlockCallback& afterBlock) {
  CheckedBlockCallback checked;
  if (afterBlock)
    checked = [&afterBlock](const char* block, uint32_t size) {
      afterBlock(block, size);
      return Status();
    };
  RaiseIfFailed(TryCopyChunked(source, target, count, buffer, blockSize, checked));
}

int64_t AppendFile(BinaryFile& target, const std::wstring& sourcePath, CopyBuffer& buffer,
                   uint32_t blockSize, const BlockCallback& afterBlock) {
  BinaryFile source = BinaryFile::OpenRead(sourcePath);
  const int64_t size = source.Size();
  CopyChunked(source, target, size, buffer, blockSize, afterBlock);
  return size;
}

Expected<int64_t> TryAppendFile(BinaryFile& target, const std::wstring& sourcePath,
                                CopyBuffer& buffer, uint32_t blockSize) {
  Expected<BinaryFile> source = BinaryFile::TryOpenRead(sourcePath);
  if (!source)
    return std::move(source).Error();
  const int64_t size = source->Size();
  if (Status copied = TryCopyChunked(*source, target, size, buffer, blockSize); !copied)
    return std::move(copied).Error();
  return size;
}

Expected<TextsSplit> SplitTexts(const std::wstring& textsPath, int64_t readMeSize,
                                int64_t licenseSize, const std::wstring& readMePath,
                                const std::wstring& licensePath, CopyBuffer& buffer) {
  Expected<BinaryFile> texts = BinaryFile::TryOpenRead(textsPath);
  if (!texts)
    return std::move(texts).Error();
  TextsSplit split;
  split.FileSize = texts->Size();
  const CheckedBlockCallback checksum = [&split](const char* block, uint32_t size) {
    split.Crc = Crc32Update(split.Crc, block, size);
    return Status();
  };
  for (const auto& [path, size] :
       {std::pair{&readMePath, readMeSize}, std::pair{&licensePath, licenseSize}}) {
    Expected<BinaryFile> text = BinaryFile::TryCreate(*path);
    if (!text)
      return std::move(text).Error();
    if (Status copied = TryCopyChunked(*texts, *text, size, buffer, kPayloadBlock, checksum);
        !copied)
      return std::move(copied).Error();
  }
  return split;
}
