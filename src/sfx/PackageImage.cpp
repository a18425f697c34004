#include "sfx/PackageImage.h"

#include "sfx/BlockStream.h"
#include "sfx/FixedText.h"
#include "support/Crc32.h"

namespace {
// One block of the process heap, freed when it goes out of scope.
class HeapBlock {
 public:
  explicit HeapBlock(size_t size)
      : bytes_(static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, size))) {}
  ~HeapBlock() {
    if (bytes_)
      HeapFree(GetProcessHeap(), 0, bytes_);
  }
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  uint8_t* Get() const { return bytes_; }

 private:
  uint8_t* bytes_;
};

bool Fail(ExtractFailure& failure, ExtractStatus status, DWORD code = 0,
          const wchar_t* fileName = nullptr) {
  failure.Status = status;
  failure.SystemCode = code;
  failure.FileName = fileName;
  return false;
}

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

// Opens the file just written again, for reading only and with write and delete
// sharing denied, and makes sure it is the very file written (not a link or a
// file put there between the two opens).
bool HoldWritten(const wchar_t* path, const BY_HANDLE_FILE_INFORMATION& written, HeldFiles& held) {
  FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION opened{};
  if (!file || !GetFileInformationByHandle(file.Get(), &opened))
    return false;
  if (opened.dwVolumeSerialNumber != written.dwVolumeSerialNumber ||
      opened.nFileIndexHigh != written.nFileIndexHigh ||
      opened.nFileIndexLow != written.nFileIndexLow ||
      (opened.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  if (!held.Keep(file.Release())) {
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return false;
  }
  return true;
}
}  // namespace

bool PackageImage::Open(const wchar_t* imagePath, ExtractFailure& failure) {
  file_.Reset(CreateFileW(imagePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file_ || !GetFileSizeEx(file_.Get(), &size))
    return Fail(failure, ExtractStatus::Damaged, GetLastError());
  fileSize_ = PayloadEnd(file_.Get(), static_cast<uint64_t>(size.QuadPart));

  uint8_t trailerBytes[onefile::kTrailerSize];
  if (fileSize_ < onefile::kTrailerSize ||
      !ReadAt(file_.Get(), fileSize_ - onefile::kTrailerSize, trailerBytes, onefile::kTrailerSize))
    failure.Format = onefile::FormatError::NoTrailer;
  else
    failure.Format = onefile::ReadTrailer(trailerBytes, fileSize_, trailer_);
  if (failure.Format != onefile::FormatError::None)
    return Fail(failure, ExtractStatus::Damaged);

  HeapBlock headerBytes(trailer_.HeaderSize);
  if (!headerBytes.Get())
    return Fail(failure, ExtractStatus::NoMemory, ERROR_NOT_ENOUGH_MEMORY);
  if (!ReadAt(file_.Get(), trailer_.HeaderOffset, headerBytes.Get(), trailer_.HeaderSize)) {
    failure.Format = onefile::FormatError::BadTrailer;
    return Fail(failure, ExtractStatus::Damaged);
  }
  failure.Format = onefile::ReadHeader(headerBytes.Get(), trailer_, fileSize_, header_);
  if (failure.Format != onefile::FormatError::None)
    return Fail(failure, ExtractStatus::Damaged);
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
  if (!input.Get() || !output.Get())
    return Fail(failure, ExtractStatus::NoMemory, ERROR_NOT_ENOUGH_MEMORY);
  LARGE_INTEGER start;
  start.QuadPart = static_cast<LONGLONG>(onefile::StreamOffset(trailer_));
  if (!SetFilePointerEx(file_.Get(), start, nullptr, FILE_BEGIN))
    return Fail(failure, ExtractStatus::Damaged, GetLastError());
  BlockStream stream(file_.Get(), header_, input.Get(), output.Get());
  const SRes allocated = stream.Allocate();
  if (allocated == SZ_ERROR_MEM)
    return Fail(failure, ExtractStatus::NoMemory, ERROR_NOT_ENOUGH_MEMORY);
  if (allocated != SZ_OK)
    return Fail(failure, ExtractStatus::Damaged);

  uint64_t done = 0;
  for (uint32_t i = 0; i < header_.FileCount; ++i) {
    const onefile::FileRecord& record = header_.Files[i];
    PathText path(folder);
    if (!path.Append(L'\\') || !path.Append(record.Name))
      return Fail(failure, ExtractStatus::CannotWrite, ERROR_FILENAME_EXCED_RANGE, record.Name);
    FileHandle target(CreateFileW(path.Get(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target)
      return Fail(failure, ExtractStatus::CannotWrite, GetLastError(), record.Name);

    uint32_t crc = 0;
    for (uint64_t left = record.Size; left > 0;) {
      const uint8_t* data = nullptr;
      size_t size = 0;
      if (!stream.Next(left, data, size))
        return Fail(failure, ExtractStatus::Damaged, 0, record.Name);
      DWORD written = 0;
      const BOOL ok = WriteFile(target.Get(), data, static_cast<DWORD>(size), &written, nullptr);
      if (!ok || written != size)  // a short write means the disk is full
        return Fail(failure, ExtractStatus::CannotWrite, ok ? ERROR_DISK_FULL : GetLastError(),
                    record.Name);
      crc = Crc32Update(crc, data, size);
      left -= size;
      done += size;
      observer.Progress(done, header_.UnpackedSize);
      if (observer.Cancelled())
        return Fail(failure, ExtractStatus::Cancelled);
    }
    BY_HANDLE_FILE_INFORMATION written{};
    if (!GetFileInformationByHandle(target.Get(), &written))
      return Fail(failure, ExtractStatus::CannotWrite, GetLastError(), record.Name);
    if (!CloseHandle(target.Release()))
      return Fail(failure, ExtractStatus::CannotWrite, GetLastError(), record.Name);
    if (!HoldWritten(path.Get(), written, held))
      return Fail(failure, ExtractStatus::CannotWrite, GetLastError(), record.Name);
    if (crc != record.Crc)
      return Fail(failure, ExtractStatus::Damaged, 0, record.Name);
  }
  if (!stream.Finish())
    return Fail(failure, ExtractStatus::Damaged);
  return true;
}
