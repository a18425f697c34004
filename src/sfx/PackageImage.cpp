#include "sfx/PackageImage.h"

#include "sfx/BlockStream.h"
#include "sfx/FixedText.h"
#include "sfx/HeapBlock.h"
#include "sfx/UnpackedFiles.h"

bool ReportFailure(ExtractFailure& failure, ExtractStatus status, DWORD code,
                   const wchar_t* fileName) {
  failure.Status = status;
  failure.SystemCode = code;
  failure.FileName = fileName;
  return false;
}

namespace {
bool ReadAt(HANDLE file, uint64_t offset, void* buffer, DWORD size) {
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  DWORD done = 0;
  return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) &&
         ReadFile(file, buffer, size, &done, nullptr) && done == size;
}

// The end of the trailer: the file's end, or where a signature's certificate
// table and the zero bytes before it begin. An unreadable head leaves the file's
// end, where the trailer check then fails.
uint64_t PayloadEnd(HANDLE file, uint64_t fileSize) {
  uint8_t head[onefile::kImageHeadSize];
  const DWORD headSize =
      static_cast<DWORD>(fileSize < onefile::kImageHeadSize ? fileSize : onefile::kImageHeadSize);
  if (!ReadAt(file, 0, head, headSize))
    return fileSize;
  const uint64_t end = onefile::SignedPayloadEnd(head, headSize, fileSize);
  if (end == fileSize)
    return fileSize;
  uint8_t before[onefile::kMaxSignaturePadding];
  const DWORD beforeSize =
      static_cast<DWORD>(end < onefile::kMaxSignaturePadding ? end : onefile::kMaxSignaturePadding);
  if (!ReadAt(file, end - beforeSize, before, beforeSize))
    return end;
  return end - onefile::SignaturePadding(before, beforeSize);
}

}  // namespace

bool PackageImage::Open(const wchar_t* imagePath, ExtractFailure& failure) {
  file_.Reset(CreateFileW(imagePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file_ || !GetFileSizeEx(file_.Get(), &size))
    return ReportFailure(failure, ExtractStatus::Damaged, GetLastError());
  fileSize_ = PayloadEnd(file_.Get(), static_cast<uint64_t>(size.QuadPart));

  uint8_t trailerBytes[onefile::kTrailerSize];
  if (fileSize_ < onefile::kTrailerSize ||
      !ReadAt(file_.Get(), fileSize_ - onefile::kTrailerSize, trailerBytes, onefile::kTrailerSize))
    failure.Format = onefile::FormatError::NoTrailer;
  else
    failure.Format = onefile::ReadTrailer(trailerBytes, fileSize_, trailer_);
  if (failure.Format != onefile::FormatError::None)
    return ReportFailure(failure, ExtractStatus::Damaged);

  // Kept while the image is open: the header's table of moved runs points into it.
  if (!headerBytes_.Allocate(trailer_.HeaderSize))
    return ReportFailure(failure, ExtractStatus::NoMemory, ERROR_NOT_ENOUGH_MEMORY);
  if (!ReadAt(file_.Get(), trailer_.HeaderOffset, headerBytes_.Get(), trailer_.HeaderSize)) {
    failure.Format = onefile::FormatError::BadTrailer;
    return ReportFailure(failure, ExtractStatus::Damaged);
  }
  failure.Format = onefile::ReadHeader(headerBytes_.Get(), trailer_, fileSize_, header_);
  if (failure.Format != onefile::FormatError::None)
    return ReportFailure(failure, ExtractStatus::Damaged);
  return true;
}

bool HeldFiles::Keep(HANDLE file) {
  FileHandle kept(file);
  if (count_ >= onefile::kMaxFiles)
    return false;
  files_[count_++] = static_cast<FileHandle&&>(kept);
  return true;
}

void HeldFiles::Close() {
  for (uint32_t i = 0; i < count_; ++i) files_[i].Reset();
  count_ = 0;
}

bool PackageImage::ExtractTo(const wchar_t* folder, ExtractObserver& observer,
                             ExtractFailure& failure, HeldFiles& held) {
  HeapBlock input(kStreamInputBlock);
  HeapBlock output(kStreamOutputBlock);
  HeapBlock scratch;  // the operand split rebuilds a chunk through it
  if (!input.Get() || !output.Get() ||
      (onefile::SplitsOperands(header_.Version) && !scratch.Allocate(onefile::kMaxSplitChunk)))
    return ReportFailure(failure, ExtractStatus::NoMemory, ERROR_NOT_ENOUGH_MEMORY);
  LARGE_INTEGER start;
  start.QuadPart = static_cast<LONGLONG>(onefile::StreamOffset(trailer_));
  if (!SetFilePointerEx(file_.Get(), start, nullptr, FILE_BEGIN))
    return ReportFailure(failure, ExtractStatus::Damaged, GetLastError());
  BlockStream stream(file_.Get(), header_, input.Get(), output.Get(), scratch.Get());
  const SRes allocated = stream.Allocate();
  if (allocated == SZ_ERROR_MEM)
    return ReportFailure(failure, ExtractStatus::NoMemory, ERROR_NOT_ENOUGH_MEMORY);
  if (allocated != SZ_OK)
    return ReportFailure(failure, ExtractStatus::Damaged);

  UnpackedFiles files(folder, header_, held);
  onefile::StreamSpans spans(header_);
  onefile::Span span;
  uint64_t done = 0;
  while (spans.Next(span)) {
    if (!files.Begin(span, failure))
      return false;
    for (uint64_t left = span.Size; left > 0;) {
      const uint8_t* data = nullptr;
      size_t size = 0;
      if (!stream.Next(left, data, size))
        return ReportFailure(failure, ExtractStatus::Damaged, 0, header_.Files[span.File].Name);
      if (!files.Write(data, size, failure))
        return false;
      left -= size;
      done += size;
      observer.Progress(done, header_.UnpackedSize);
      if (observer.Cancelled())
        return ReportFailure(failure, ExtractStatus::Cancelled);
    }
    if (span.Size > 0 && !files.End(failure))
      return false;
  }
  if (!stream.Finish())
    return ReportFailure(failure, ExtractStatus::Damaged);
  return true;
}
