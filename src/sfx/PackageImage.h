#pragma once
// The package inside a single-file installer: found through the trailer at the
// end of the program image, checked, and unpacked into a folder through fixed
// buffers with every CRC-32 checked on the way.

#include <windows.h>

#include <cstdint>

#include "formats/SingleFileFormat.h"
#include "sfx/HeapBlock.h"
#include "support/Handle.h"

enum class ExtractStatus { Ok, Damaged, CannotWrite, NoMemory, Cancelled };

struct ExtractFailure {
  ExtractStatus Status = ExtractStatus::Ok;
  DWORD SystemCode = 0;  // the system's error of a failed write or allocation
  onefile::FormatError Format = onefile::FormatError::None;  // the header check that failed
  const wchar_t* FileName = nullptr;  // the package file concerned, when there is one
};

// Fills in `failure` and returns false, for `return ReportFailure(...)`.
bool ReportFailure(ExtractFailure& failure, ExtractStatus status, DWORD code = 0,
                   const wchar_t* fileName = nullptr);

class ExtractObserver {
 public:
  // Bytes unpacked so far out of all the package's bytes.
  virtual void Progress(uint64_t done, uint64_t total) = 0;
  virtual bool Cancelled() = 0;

 protected:
  ~ExtractObserver() = default;
};

// The unpacked files, each held open for reading with write and delete sharing
// denied, so that nobody changes or swaps one before the setup program has
// started from them. Closed by Close or at the end of the scope.
class HeldFiles {
 public:
  // Takes the handle; false (and the handle closed) when all places are used.
  bool Keep(HANDLE file);
  void Close();
  uint32_t Count() const { return count_; }

 private:
  FileHandle files_[onefile::kMaxFiles];
  uint32_t count_ = 0;
};

class PackageImage {
 public:
  // Opens the program image and checks its trailer and header.
  bool Open(const wchar_t* imagePath, ExtractFailure& failure);
  const onefile::Header& Header() const { return header_; }

  // Unpacks every file into `folder`, an existing empty folder, each span of
  // the stream where it belongs (formats' StreamSpans). Files are
  // created anew (an existing one is a failure, never overwritten). A file whose
  // CRC-32 differs, a stream that ends early, runs on or whose CRC-32 differs
  // is Damaged. Files written before a failure stay for the caller to remove
  // with the folder. Every file written goes on being held in `held`.
  bool ExtractTo(const wchar_t* folder, ExtractObserver& observer, ExtractFailure& failure,
                 HeldFiles& held);

 private:
  FileHandle file_;
  uint64_t fileSize_ = 0;  // up to the trailer's end: a signature after it is not counted
  onefile::Trailer trailer_;
  HeapBlock headerBytes_;
  onefile::Header header_;
};
