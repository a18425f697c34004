#include "sfx/UnpackedFiles.h"

#include "sfx/FixedText.h"
#include "support/Crc32.h"

namespace {
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

bool PathOf(const wchar_t* folder, const onefile::FileRecord& record, PathText& path) {
  path = PathText(folder);
  return path.Append(L'\\') && path.Append(record.Name);
}
}  // namespace

bool UnpackedFiles::Begin(const onefile::Span& span, ExtractFailure& failure) {
  span_ = span;
  spanCrc_ = 0;
  Target& target = targets_[span.File];
  const onefile::FileRecord& record = header_.Files[span.File];
  if (!target.Created) {
    PathText path;
    if (!PathOf(folder_, record, path))
      return ReportFailure(failure, ExtractStatus::CannotWrite, ERROR_FILENAME_EXCED_RANGE,
                           record.Name);
    target.File.Reset(CreateFileW(path.Get(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target.File)
      return ReportFailure(failure, ExtractStatus::CannotWrite, GetLastError(), record.Name);
    target.Created = true;
  }
  // Spans of one file follow each other except around a moved run.
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(span.Offset);
  if (span.Size > 0 && !SetFilePointerEx(target.File.Get(), position, nullptr, FILE_BEGIN))
    return ReportFailure(failure, ExtractStatus::CannotWrite, GetLastError(), record.Name);
  return span.Size > 0 || End(failure);
}

bool UnpackedFiles::Write(const uint8_t* data, size_t size, ExtractFailure& failure) {
  Target& target = targets_[span_.File];
  DWORD written = 0;
  const BOOL ok = WriteFile(target.File.Get(), data, static_cast<DWORD>(size), &written, nullptr);
  if (!ok || written != size)  // a short write means the disk is full
    return ReportFailure(failure, ExtractStatus::CannotWrite, ok ? ERROR_DISK_FULL : GetLastError(),
                         header_.Files[span_.File].Name);
  spanCrc_ = Crc32Update(spanCrc_, data, size);
  target.Written += size;
  return true;
}

bool UnpackedFiles::End(ExtractFailure& failure) {
  Target& target = targets_[span_.File];
  const onefile::FileRecord& record = header_.Files[span_.File];
  target.Crc ^= Crc32Combine(spanCrc_, 0, record.Size - (span_.Offset + span_.Size));
  return target.Written < record.Size || Complete(target, record, failure);
}

bool UnpackedFiles::Complete(Target& target, const onefile::FileRecord& record,
                             ExtractFailure& failure) {
  BY_HANDLE_FILE_INFORMATION written{};
  if (!GetFileInformationByHandle(target.File.Get(), &written))
    return ReportFailure(failure, ExtractStatus::CannotWrite, GetLastError(), record.Name);
  if (!CloseHandle(target.File.Release()))
    return ReportFailure(failure, ExtractStatus::CannotWrite, GetLastError(), record.Name);
  PathText path;
  if (!PathOf(folder_, record, path) || !HoldWritten(path.Get(), written, held_))
    return ReportFailure(failure, ExtractStatus::CannotWrite, GetLastError(), record.Name);
  if (target.Crc != record.Crc)
    return ReportFailure(failure, ExtractStatus::Damaged, 0, record.Name);
  return true;
}
