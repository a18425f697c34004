#pragma once
// The package's files as the stream's spans reach them: each created new on
// its first span, written where the span says (a moved run fills the place left
// for it), and closed and held once its last byte is in. Each file's CRC-32 is
// summed a span at a time and joined in file order (Crc32Combine), so a file
// written out of order is checked like one written straight through.

#include <windows.h>

#include <cstdint>

#include "formats/SingleFileFormat.h"
#include "sfx/PackageImage.h"
#include "support/Handle.h"

class UnpackedFiles {
 public:
  UnpackedFiles(const wchar_t* folder, const onefile::Header& header, HeldFiles& held)
      : folder_(folder), header_(header), held_(held) {}

  // Starts `span`: creates its file on the first one and moves to its offset.
  bool Begin(const onefile::Span& span, ExtractFailure& failure);
  // The span's next bytes.
  bool Write(const uint8_t* data, size_t size, ExtractFailure& failure);
  // Ends the span; a file that is complete is closed, held and its CRC-32 checked.
  bool End(ExtractFailure& failure);

 private:
  struct Target {
    FileHandle File;
    bool Created = false;
    uint64_t Written = 0;
    uint32_t Crc = 0;  // the spans ended so far, each moved on by the bytes after it
  };
  bool Complete(Target& target, const onefile::FileRecord& record, ExtractFailure& failure);

  const wchar_t* folder_;
  const onefile::Header& header_;
  HeldFiles& held_;
  Target targets_[onefile::kMaxFiles];
  onefile::Span span_;
  uint32_t spanCrc_ = 0;
};
