#include "formats/SingleFileFormat.h"

#include <windows.h>

#include "support/Crc32.h"
#include "support/FileNames.h"

namespace onefile {
namespace {
// Field offsets of the fixed part of the header.
constexpr uint32_t kAtVersion = 8;
constexpr uint32_t kAtFlags = 10;
constexpr uint32_t kAtFileCount = 12;
constexpr uint32_t kAtLauncher = 16;
constexpr uint32_t kAtProps = 20;
constexpr uint32_t kAtUnpackedSize = 28;
constexpr uint32_t kAtStreamSize = 36;
constexpr uint32_t kAtStreamCrc = 44;

// The LZMA properties byte holds lc + 9 * (lp + 5 * pb) with lc <= 8, lp <= 4, pb <= 4.
constexpr uint8_t kMaxPropsByte = 9 * 5 * 5 - 1;

void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint16_t Get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Get32(const uint8_t* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | p[i];
  return v;
}
uint64_t Get64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}
bool SameBytes(const uint8_t* a, const uint8_t* b, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (a[i] != b[i])
      return false;
  return true;
}

wchar_t UpperAscii(wchar_t c) {
  return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// CON, PRN, AUX, NUL, COM0..9, LPT0..9, CONIN$, CONOUT$, with or without an
// extension and with blanks before it: Windows opens the device for all of them.
bool IsDeviceName(const wchar_t* name, size_t length) {
  size_t base = 0;
  while (base < length && name[base] != L'.') ++base;
  while (base > 0 && name[base - 1] == L' ') --base;
  static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  for (const wchar_t* device : kDevices) {
    size_t i = 0;
    while (i < base && device[i] && UpperAscii(name[i]) == device[i]) ++i;
    if (i == base && device[i] == 0)
      return true;
  }
  if (base == 4) {
    const bool com =
        UpperAscii(name[0]) == L'C' && UpperAscii(name[1]) == L'O' && UpperAscii(name[2]) == L'M';
    const bool lpt =
        UpperAscii(name[0]) == L'L' && UpperAscii(name[1]) == L'P' && UpperAscii(name[2]) == L'T';
    // Digits, and the superscript digits that Windows also takes as port numbers.
    const wchar_t n = name[3];
    if ((com || lpt) && ((n >= L'0' && n <= L'9') || n == 0xB9 || n == 0xB2 || n == 0xB3))
      return true;
  }
  return false;
}

bool SameNameNoCase(const FileRecord& a, const FileRecord& b) {
  return SameFileName({a.Name, a.NameLength}, {b.Name, b.NameLength});
}

// Ranges in stream order, each non-empty, at most `longest` bytes, inside
// the stream and not overlapping the one before.
FormatError ReadRanges(const uint8_t* p, uint32_t count, uint64_t streamSize, uint64_t longest,
                       FilterRange* out) {
  uint64_t covered = 0;  // the end of the range before
  for (uint32_t i = 0; i < count; ++i, p += kRangeRecordSize) {
    FilterRange& range = out[i];
    range.Offset = Get64(p);
    range.Size = Get64(p + 8);
    if (range.Offset < covered || range.Size == 0 || range.Size > longest ||
        range.Offset > streamSize || range.Size > streamSize - range.Offset)
      return FormatError::BadRanges;
    covered = range.Offset + range.Size;
  }
  return FormatError::None;
}

// The block table closes the header: the filtered ranges, in version 4 the
// stored ones, in version 5 the moved runs' table, then the block size and the
// counts, the counts last, so the file table before them is read as in
// version 1 up to `end`, which moves to the table's start. The moved runs are
// checked once the files' sizes are known.
FormatError ReadBlockTable(const uint8_t* begin, const uint8_t*& end, Header& out) {
  const bool stored = out.Version >= kStoredStretchesVersion;
  const bool moved = out.Version >= kMovedRunsVersion;
  const ptrdiff_t fixed = kBlockTableFixedSize + (stored ? kStoredTableFixedSize : 0) +
                          (moved ? kMovedTableFixedSize : 0);
  if (end - begin < fixed)
    return FormatError::BadCounts;
  const uint8_t* counts = end - fixed;
  out.BlockSize = Get32(counts);
  const uint32_t count = Get32(counts + 4);
  const uint32_t storedCount = stored ? Get32(counts + 8) : 0;
  const uint32_t movedCount = moved ? Get32(counts + 12) : 0;
  const uint32_t movedBytes = moved ? Get32(counts + 16) : 0;
  if (count > kMaxFilterRanges || storedCount > kMaxStoredRanges)
    return FormatError::BadRanges;
  if (movedCount > kMaxMovedRuns || movedBytes > kMaxMovedRuns * kMaxMovedRunBytes)
    return FormatError::BadMovedRuns;
  const ptrdiff_t tableSize =
      fixed + (static_cast<ptrdiff_t>(count) + storedCount) * kRangeRecordSize + movedBytes;
  if (end - begin < tableSize)
    return FormatError::BadCounts;
  if (out.BlockSize < kMinBlockSize)
    return FormatError::BadRanges;
  end -= tableSize;
  // A split range is one span: its offsets must stay below 2^31.
  const uint64_t longestCode = SplitsOperands(out.Version) ? kMaxSplitSpan : UINT64_MAX;
  FormatError error = ReadRanges(end, count, out.UnpackedSize, longestCode, out.Ranges);
  if (error == FormatError::None)
    error = ReadRanges(end + count * kRangeRecordSize, storedCount, out.UnpackedSize, UINT64_MAX,
                       out.Stored);
  if (error != FormatError::None)
    return error;
  out.RangeCount = count;
  out.StoredCount = storedCount;
  out.MovedCount = movedCount;
  out.MovedBytes = movedBytes;
  out.Moved = end + (static_cast<ptrdiff_t>(count) + storedCount) * kRangeRecordSize;
  return FormatError::None;
}

// Every moved run well formed, inside one file, after the one before, the
// table used up exactly.
FormatError CheckMovedRuns(const Header& header) {
  MovedRunReader runs(header);
  MovedRun run;
  uint32_t count = 0;
  while (runs.Next(run)) ++count;
  if (runs.Failed() || count != header.MovedCount || !runs.AtTableEnd())
    return FormatError::BadMovedRuns;
  return FormatError::None;
}

// Whether every filtered range has a size that the header's version allows.
bool RangesFit(const Header& header) {
  if (!SplitsOperands(header.Version))
    return true;
  for (uint32_t i = 0; i < header.RangeCount && i < kMaxFilterRanges; ++i)
    if (header.Ranges[i].Size > kMaxSplitSpan)
      return false;
  return true;
}

uint32_t PutNumber(uint64_t value, uint8_t* out) {
  uint32_t size = 0;
  do {
    const uint8_t low = static_cast<uint8_t>(value & 0x7F);
    value >>= 7;
    out[size++] = static_cast<uint8_t>(low | (value != 0 ? 0x80 : 0));
  } while (value != 0);
  return size;
}
}  // namespace

bool IsPlainFileName(const wchar_t* name, size_t length) noexcept {
  if (length == 0 || length > kMaxNameLength)
    return false;
  for (size_t i = 0; i < length; ++i) {
    const wchar_t c = name[i];
    if (c < 0x20 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' ||
        c == L'<' || c == L'>' || c == L'|')
      return false;
  }
  // "." and ".." end in a dot as well.
  if (name[length - 1] == L'.' || name[length - 1] == L' ')
    return false;
  return !IsDeviceName(name, length);
}

Piece PieceAt(const Header& header, uint64_t offset, uint32_t& nextStored) noexcept {
  while (nextStored < header.StoredCount &&
         header.Stored[nextStored].Offset + header.Stored[nextStored].Size <= offset)
    ++nextStored;
  Piece piece;
  if (nextStored < header.StoredCount && header.Stored[nextStored].Offset <= offset) {
    piece.Stored = true;
    piece.Size = header.Stored[nextStored].Offset + header.Stored[nextStored].Size - offset;
    return piece;
  }
  // Blocks are cut by unpacked offset, from version 5 on by coded offset, so
  // that a block holds as much to code wherever the stored stretches lie.
  uint64_t position = offset;
  if (header.Version >= kMovedRunsVersion)
    for (uint32_t i = 0; i < nextStored; ++i) position -= header.Stored[i].Size;
  uint64_t end = header.UnpackedSize;
  if (header.BlockSize != 0 && end - offset > header.BlockSize - position % header.BlockSize)
    end = offset + (header.BlockSize - position % header.BlockSize);
  if (nextStored < header.StoredCount && header.Stored[nextStored].Offset < end)
    end = header.Stored[nextStored].Offset;
  piece.Size = end - offset;
  return piece;
}

uint32_t EncodeMovedRun(uint64_t gap, uint64_t size, uint8_t (&out)[kMaxMovedRunBytes]) noexcept {
  const uint32_t first = PutNumber(gap, out);
  return first + PutNumber(size, out + first);
}

MovedRunReader::MovedRunReader(const Header& header) noexcept
    : header_(header),
      at_(header.Moved),
      end_(header.Moved ? header.Moved + header.MovedBytes : header.Moved),
      left_(header.Moved ? header.MovedCount : 0) {}

bool MovedRunReader::Number(uint64_t& value) noexcept {
  value = 0;
  for (uint32_t shift = 0; shift < 64; shift += 7) {
    if (at_ == end_)
      return false;
    const uint8_t byte = *at_++;
    if (shift == 63 && byte > 1)
      return false;  // more than 64 bits
    value |= uint64_t{byte & 0x7Fu} << shift;
    if (!(byte & 0x80))
      return true;
  }
  return false;
}

bool MovedRunReader::Next(MovedRun& run) noexcept {
  if (left_ == 0 || failed_)
    return false;
  uint64_t gap = 0;
  uint64_t size = 0;
  if (!Number(gap) || !Number(size) || size == 0 || gap > header_.UnpackedSize - covered_ ||
      size > header_.UnpackedSize - covered_ - gap) {
    failed_ = true;
    return false;
  }
  run.Offset = covered_ + gap;
  run.Size = size;
  while (file_ < header_.FileCount && fileStart_ + header_.Files[file_].Size <= run.Offset)
    fileStart_ += header_.Files[file_++].Size;
  if (file_ == header_.FileCount || run.Offset + size > fileStart_ + header_.Files[file_].Size) {
    failed_ = true;
    return false;
  }
  run.File = file_;
  run.FileOffset = run.Offset - fileStart_;
  covered_ = run.Offset + size;
  --left_;
  return true;
}

StreamSpans::StreamSpans(const Header& header) noexcept
    : header_(header), skipped_(header), moved_(header), skipping_(skipped_.Next(skip_)) {}

bool StreamSpans::Next(Span& span) noexcept {
  while (file_ < header_.FileCount) {
    const uint64_t size = header_.Files[file_].Size;
    const uint64_t fileEnd = fileStart_ + size;
    const bool runHere = skipping_ && skip_.File == file_;
    if (runHere && skip_.Offset == at_) {
      at_ += skip_.Size;
      skipping_ = skipped_.Next(skip_);
      continue;
    }
    if (at_ == fileEnd) {
      fileStart_ = fileEnd;
      ++file_;
      if (size == 0) {
        span = {file_ - 1, 0, 0};
        return true;
      }
      continue;
    }
    const uint64_t end = runHere ? skip_.Offset : fileEnd;
    span = {file_, at_ - fileStart_, end - at_};
    at_ = end;
    return true;
  }
  MovedRun run;
  if (!moved_.Next(run))
    return false;
  span = {run.File, run.FileOffset, run.Size};
  return true;
}

uint32_t DictionarySize(const uint8_t (&props)[kLzmaPropsSize]) noexcept {
  return Get32(props + 1);
}

uint32_t HeaderBytes(const Header& header) noexcept {
  uint32_t size = kFixedHeaderSize;
  for (uint32_t i = 0; i < header.FileCount && i < kMaxFiles; ++i)
    size += kFileRecordFixedSize + 2u * header.Files[i].NameLength;
  if (header.Version >= 2) {
    const uint32_t ranges =
        header.RangeCount < kMaxFilterRanges ? header.RangeCount : kMaxFilterRanges;
    size += kBlockTableFixedSize + ranges * kRangeRecordSize;
  }
  if (header.Version >= kStoredStretchesVersion) {
    const uint32_t stored =
        header.StoredCount < kMaxStoredRanges ? header.StoredCount : kMaxStoredRanges;
    size += kStoredTableFixedSize + stored * kRangeRecordSize;
  }
  if (header.Version >= kMovedRunsVersion) {
    const uint32_t limit = kMaxMovedRuns * kMaxMovedRunBytes;
    size += kMovedTableFixedSize + (header.MovedBytes < limit ? header.MovedBytes : limit);
  }
  return size;
}

uint32_t WriteHeader(const Header& header, uint8_t* out, uint32_t capacity) noexcept {
  if (header.FileCount == 0 || header.FileCount > kMaxFiles || header.Version == 0 ||
      header.Version > kFormatVersion || header.RangeCount > kMaxFilterRanges ||
      header.StoredCount > kMaxStoredRanges ||
      (header.Version < kStoredStretchesVersion && header.StoredCount != 0) ||
      header.MovedCount > kMaxMovedRuns || header.MovedBytes > kMaxMovedRuns * kMaxMovedRunBytes ||
      (header.MovedBytes != 0 && !header.Moved) ||
      (header.Version < kMovedRunsVersion && header.MovedCount + header.MovedBytes != 0) ||
      !RangesFit(header))
    return 0;
  const uint32_t size = HeaderBytes(header);
  if (size > capacity)
    return 0;
  for (uint32_t i = 0; i < size; ++i) out[i] = 0;
  for (int i = 0; i < 8; ++i) out[i] = kHeaderMagic[i];
  Put16(out + kAtVersion, header.Version);
  Put16(out + kAtFlags, 0);
  Put32(out + kAtFileCount, header.FileCount);
  Put32(out + kAtLauncher, header.LauncherIndex);
  for (uint32_t i = 0; i < kLzmaPropsSize; ++i) out[kAtProps + i] = header.LzmaProps[i];
  Put64(out + kAtUnpackedSize, header.UnpackedSize);
  Put64(out + kAtStreamSize, header.StreamSize);
  Put32(out + kAtStreamCrc, header.StreamCrc);
  uint8_t* p = out + kFixedHeaderSize;
  for (uint32_t i = 0; i < header.FileCount; ++i) {
    const FileRecord& file = header.Files[i];
    if (file.NameLength > kMaxNameLength)
      return 0;
    Put64(p, file.Size);
    Put32(p + 8, file.Crc);
    Put16(p + 12, file.NameLength);
    p += kFileRecordFixedSize;
    for (uint32_t c = 0; c < file.NameLength; ++c, p += 2)
      Put16(p, static_cast<uint16_t>(file.Name[c]));
  }
  if (header.Version >= 2) {
    for (uint32_t i = 0; i < header.RangeCount; ++i, p += kRangeRecordSize) {
      Put64(p, header.Ranges[i].Offset);
      Put64(p + 8, header.Ranges[i].Size);
    }
    const uint32_t stored = header.Version >= kStoredStretchesVersion ? header.StoredCount : 0;
    for (uint32_t i = 0; i < stored; ++i, p += kRangeRecordSize) {
      Put64(p, header.Stored[i].Offset);
      Put64(p + 8, header.Stored[i].Size);
    }
    for (uint32_t i = 0; i < header.MovedBytes; ++i) *p++ = header.Moved[i];
    Put32(p, header.BlockSize);
    Put32(p + 4, header.RangeCount);
    if (header.Version >= kStoredStretchesVersion)
      Put32(p + 8, header.StoredCount);
    if (header.Version >= kMovedRunsVersion) {
      Put32(p + 12, header.MovedCount);
      Put32(p + 16, header.MovedBytes);
    }
  }
  return size;
}

void WriteTrailer(const Trailer& trailer, uint8_t (&out)[kTrailerSize]) noexcept {
  Put64(out, trailer.HeaderOffset);
  Put32(out + 8, trailer.HeaderSize);
  Put32(out + 12, trailer.HeaderCrc);
  for (int i = 0; i < 8; ++i) out[16 + i] = kTrailerMagic[i];
}

uint64_t SignedPayloadEnd(const uint8_t* head, uint32_t headSize, uint64_t fileSize) noexcept {
  constexpr uint32_t kAtNewHeader = 0x3C;
  constexpr uint32_t kCoffSize = 20;
  constexpr uint32_t kSecurityDirectory = 4;
  if (headSize < kAtNewHeader + 4 || head[0] != 'M' || head[1] != 'Z')
    return fileSize;
  const uint32_t pe = Get32(head + kAtNewHeader);
  if (pe > headSize || headSize - pe < 4 + kCoffSize + 2 ||
      !SameBytes(head + pe, reinterpret_cast<const uint8_t*>("PE\0\0"), 4))
    return fileSize;
  const uint32_t optionalSize = Get16(head + pe + 4 + 16);
  const uint32_t optional = pe + 4 + kCoffSize;
  uint32_t countAt = 0;
  switch (Get16(head + optional)) {
    case 0x10B:  // PE32
      countAt = 92;
      break;
    case 0x20B:  // PE32+
      countAt = 108;
      break;
    default:
      return fileSize;
  }
  const uint32_t entryAt = countAt + 4 + 8 * kSecurityDirectory;
  if (optionalSize < entryAt + 8 || headSize - optional < entryAt + 8 ||
      Get32(head + optional + countAt) <= kSecurityDirectory)
    return fileSize;
  // The security directory holds a file offset, not an address.
  const uint64_t tableStart = Get32(head + optional + entryAt);
  const uint64_t tableSize = Get32(head + optional + entryAt + 4);
  if (tableSize == 0 || tableStart > fileSize || tableStart + tableSize != fileSize)
    return fileSize;
  return tableStart;
}

uint32_t SignaturePadding(const uint8_t* before, uint32_t size) noexcept {
  uint32_t zeros = 0;
  while (zeros < size && zeros < kMaxSignaturePadding && before[size - 1 - zeros] == 0) ++zeros;
  return zeros;
}

FormatError ReadTrailer(const uint8_t (&bytes)[kTrailerSize], uint64_t fileSize,
                        Trailer& out) noexcept {
  if (fileSize < kTrailerSize || !SameBytes(bytes + 16, kTrailerMagic, 8))
    return FormatError::NoTrailer;
  out.HeaderOffset = Get64(bytes);
  out.HeaderSize = Get32(bytes + 8);
  out.HeaderCrc = Get32(bytes + 12);
  const uint64_t room = fileSize - kTrailerSize;  // bytes before the trailer
  if (out.HeaderSize < kFixedHeaderSize || out.HeaderSize > kMaxHeaderSize ||
      out.HeaderOffset > room || out.HeaderSize > room - out.HeaderOffset)
    return FormatError::BadTrailer;
  return FormatError::None;
}

FormatError ReadHeader(const uint8_t* bytes, const Trailer& trailer, uint64_t fileSize,
                       Header& out) noexcept {
  const uint32_t size = trailer.HeaderSize;
  if (size < kFixedHeaderSize || size > kMaxHeaderSize)
    return FormatError::BadTrailer;
  if (!SameBytes(bytes, kHeaderMagic, 8))
    return FormatError::BadHeaderMagic;
  // The version comes before the checksum: a newer kit's header is reported as
  // such even where its layout differs from this one.
  out.Version = Get16(bytes + kAtVersion);
  if (out.Version > kFormatVersion)
    return FormatError::VersionTooNew;
  if (Crc32(bytes, size) != trailer.HeaderCrc)
    return FormatError::BadHeaderCrc;
  if (out.Version == 0 || Get16(bytes + kAtFlags) != 0)
    return FormatError::BadCounts;

  out.FileCount = Get32(bytes + kAtFileCount);
  out.LauncherIndex = Get32(bytes + kAtLauncher);
  if (out.FileCount == 0 || out.FileCount > kMaxFiles || out.LauncherIndex >= out.FileCount)
    return FormatError::BadCounts;
  for (uint32_t i = 0; i < kLzmaPropsSize; ++i) out.LzmaProps[i] = bytes[kAtProps + i];
  if (out.LzmaProps[0] > kMaxPropsByte || DictionarySize(out.LzmaProps) > kMaxDictionarySize)
    return FormatError::BadProperties;
  out.UnpackedSize = Get64(bytes + kAtUnpackedSize);
  out.StreamSize = Get64(bytes + kAtStreamSize);
  out.StreamCrc = Get32(bytes + kAtStreamCrc);

  const uint8_t* p = bytes + kFixedHeaderSize;
  const uint8_t* end = bytes + size;
  out.BlockSize = 0;
  out.RangeCount = 0;
  out.StoredCount = 0;
  out.MovedCount = 0;
  out.MovedBytes = 0;
  out.Moved = nullptr;
  if (out.Version >= 2) {
    const FormatError blocks = ReadBlockTable(p, end, out);
    if (blocks != FormatError::None)
      return blocks;
  }
  uint64_t sum = 0;
  for (uint32_t i = 0; i < out.FileCount; ++i) {
    FileRecord& file = out.Files[i];
    if (end - p < static_cast<ptrdiff_t>(kFileRecordFixedSize))
      return FormatError::BadCounts;
    file.Size = Get64(p);
    file.Crc = Get32(p + 8);
    file.NameLength = Get16(p + 12);
    p += kFileRecordFixedSize;
    if (file.NameLength == 0 || file.NameLength > kMaxNameLength)
      return FormatError::BadName;
    if (end - p < 2 * static_cast<ptrdiff_t>(file.NameLength))
      return FormatError::BadCounts;
    for (uint32_t c = 0; c < file.NameLength; ++c, p += 2)
      file.Name[c] = static_cast<wchar_t>(Get16(p));
    file.Name[file.NameLength] = 0;
    if (!IsPlainFileName(file.Name, file.NameLength))
      return FormatError::BadName;
    for (uint32_t j = 0; j < i; ++j)
      if (SameNameNoCase(out.Files[j], file))
        return FormatError::DuplicateName;
    if (file.Size > kMaxFileSize)
      return FormatError::BadSizes;
    sum += file.Size;  // at most kMaxFiles * 2^40: no overflow
  }
  if (p != end)
    return FormatError::BadCounts;
  if (sum != out.UnpackedSize)
    return FormatError::BadSizes;
  if (out.MovedCount != 0 || out.MovedBytes != 0) {
    const FormatError moved = CheckMovedRuns(out);
    if (moved != FormatError::None)
      return moved;
  }
  // The stream fills exactly the room between the header and the trailer.
  const uint64_t streamEnd = StreamOffset(trailer) + out.StreamSize;
  if (out.StreamSize > fileSize || streamEnd < out.StreamSize ||
      streamEnd != fileSize - kTrailerSize)
    return FormatError::BadSizes;
  return FormatError::None;
}

}  // namespace onefile
