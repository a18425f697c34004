#pragma once
// The single-file installer: the self-extractor's program image, then a header,
// the LZMA blocks over all package files, and a fixed trailer at the very end
// that points back to the header. The designer's packer writes it, the
// self-extractor (sfx.dat) reads it from its own image; both use this unit.
// Layout, checks and limits: docs/single-file-format.md.
//
// No exceptions, no allocation, no std::wstring: the self-extractor must stay
// small. The reader takes every byte as untrusted and checks it before use.

#include <cstddef>
#include <cstdint>

#include "formats/BranchFilter.h"
#include "formats/OperandSplit.h"

namespace onefile {

// Version 1: one LZMA stream, nothing filtered. Version 2: independent blocks
// and the branch filter over the program images' ranges. Version 3: the layout
// of version 2, each block going on from the dictionary of the blocks before it.
// Version 4: stretches that LZMA would not shrink stand in the stream as they are.
// Version 5: runs of the files' bytes may be moved to the stream's end.
// Version 6: the program images' operands are split off (formats/OperandSplit.h)
// instead of going through the branch filter.
inline constexpr uint16_t kFormatVersion = 6;
inline constexpr uint16_t kSingleStreamVersion = 1;
inline constexpr uint16_t kIndependentBlocksVersion = 2;
inline constexpr uint16_t kSharedDictionaryVersion = 3;
inline constexpr uint16_t kStoredStretchesVersion = 4;
inline constexpr uint16_t kMovedRunsVersion = 5;
inline constexpr uint16_t kSplitOperandsVersion = 6;

// Whether a block of this version's stream may refer to the bytes before it.
inline bool BlocksShareDictionary(uint16_t version) noexcept {
  return version >= kSharedDictionaryVersion;
}
// Whether the program images' ranges hold the operand split, not the branch filter.
inline bool SplitsOperands(uint16_t version) noexcept {
  return version >= kSplitOperandsVersion;
}
inline constexpr uint8_t kHeaderMagic[8] = {'K', 'v', 'S', 'f', 'x', 'H', 'd', 'r'};
inline constexpr uint8_t kTrailerMagic[8] = {'K', 'v', 'S', 'f', 'x', 'E', 'n', 'd'};

inline constexpr uint32_t kMaxFiles = 64;
inline constexpr uint32_t kMaxNameLength = 200;  // UTF-16 units
inline constexpr uint32_t kLzmaPropsSize = 5;
// A reader refuses a stream that would need a larger LZMA dictionary.
inline constexpr uint32_t kMaxDictionarySize = 256u << 20;
// One file of the package may be at most 1 TiB; the sum is checked for overflow.
inline constexpr uint64_t kMaxFileSize = uint64_t{1} << 40;

// Blocks of version 2 hold this many unpacked bytes at least (the last one may
// hold fewer), so a header cannot ask for millions of decoder restarts.
inline constexpr uint32_t kMinBlockSize = 1u << 20;
// Program images beyond this many in one package are left unfiltered.
inline constexpr uint32_t kMaxFilterRanges = 1024;
// Incompressible stretches beyond this many in one package are compressed.
inline constexpr uint32_t kMaxStoredRanges = 1024;

inline constexpr uint32_t kTrailerSize = 24;
inline constexpr uint32_t kFixedHeaderSize = 48;
inline constexpr uint32_t kFileRecordFixedSize = 14;  // size, CRC, name length
inline constexpr uint32_t kBlockTableFixedSize = 8;   // block size, range count
inline constexpr uint32_t kRangeRecordSize = 16;      // offset, size
inline constexpr uint32_t kStoredTableFixedSize = 4;  // stored range count
// Moved runs beyond this many in one package stay in their place.
inline constexpr uint32_t kMaxMovedRuns = 1u << 18;
inline constexpr uint32_t kMaxMovedRunBytes = 20;    // two LEB128 numbers of 64 bits
inline constexpr uint32_t kMovedTableFixedSize = 8;  // moved run count, table bytes
inline constexpr uint32_t kMaxHeaderSize =
    kFixedHeaderSize + kMaxFiles * (kFileRecordFixedSize + 2 * kMaxNameLength) +
    kBlockTableFixedSize + kMaxFilterRanges * kRangeRecordSize + kStoredTableFixedSize +
    kMaxStoredRanges * kRangeRecordSize + kMovedTableFixedSize + kMaxMovedRuns * kMaxMovedRunBytes;

struct FileRecord {
  uint64_t Size = 0;
  uint32_t Crc = 0;  // CRC-32 of the file's bytes
  uint16_t NameLength = 0;
  wchar_t Name[kMaxNameLength + 1] = {};  // zero-terminated for the reader's convenience
};

struct Header {
  uint16_t Version = kFormatVersion;
  uint32_t FileCount = 0;
  uint32_t LauncherIndex = 0;  // the file that the self-extractor starts
  uint8_t LzmaProps[kLzmaPropsSize] = {};
  uint64_t UnpackedSize = 0;  // sum of the files' sizes
  uint64_t StreamSize = 0;    // bytes of the LZMA stream
  uint32_t StreamCrc = 0;     // CRC-32 of the LZMA stream's bytes
  FileRecord Files[kMaxFiles];
  // Version 2 and later: the unpacked bytes of each block; 0 (version 1) is one block.
  uint32_t BlockSize = 0;
  // The filtered program images, in stream order; from version 6 on none
  // longer than kMaxSplitSpan.
  uint32_t RangeCount = 0;
  FilterRange Ranges[kMaxFilterRanges];
  // Version 4: the stretches stored as they are, in stream order.
  uint32_t StoredCount = 0;
  FilterRange Stored[kMaxStoredRanges];
  // Version 5: runs of the files' bytes, in the files' order, that the stream
  // carries after all the others, one after another in this order. The table
  // holds MovedCount pairs of LEB128 numbers: the bytes between the run before
  // (or the start) and this one, and the run's size. It is not copied: Moved
  // points into the header's bytes (reader) or the packer's buffer (writer).
  uint32_t MovedCount = 0;
  uint32_t MovedBytes = 0;
  const uint8_t* Moved = nullptr;
};

// Writes one moved run's two numbers into `out`; returns the bytes written.
uint32_t EncodeMovedRun(uint64_t gap, uint64_t size, uint8_t (&out)[kMaxMovedRunBytes]) noexcept;

// A moved run with the file it lies in (a run never spans two files).
struct MovedRun {
  uint32_t File = 0;
  uint64_t Offset = 0;      // in the files' order: the files end to end
  uint64_t FileOffset = 0;  // inside its file
  uint64_t Size = 0;
};

// The header's moved runs one by one. Next is false at the end and at a run
// that does not fit (Failed() then): ReadHeader checks them all before use.
class MovedRunReader {
 public:
  explicit MovedRunReader(const Header& header) noexcept;
  bool Next(MovedRun& run) noexcept;
  bool Failed() const noexcept { return failed_; }
  // Whether the table's bytes were used up exactly by its runs.
  bool AtTableEnd() const noexcept { return at_ == end_; }

 private:
  bool Number(uint64_t& value) noexcept;

  const Header& header_;
  const uint8_t* at_;
  const uint8_t* end_;
  uint32_t left_;
  uint64_t covered_ = 0;  // where the run before ended
  uint32_t file_ = 0;
  uint64_t fileStart_ = 0;
  bool failed_ = false;
};

// A stretch of the unpacked stream and where it goes: `Size` bytes of file
// `File` from `Offset` on. An empty file is one empty span.
struct Span {
  uint32_t File = 0;
  uint64_t Offset = 0;
  uint64_t Size = 0;
};

// The unpacked stream's spans in stream order: the files in table order
// without their moved runs, then the moved runs. Before version 5 that is one
// span for each file. The header must have been checked by ReadHeader.
class StreamSpans {
 public:
  explicit StreamSpans(const Header& header) noexcept;
  bool Next(Span& span) noexcept;

 private:
  const Header& header_;
  MovedRunReader skipped_;  // the runs passed over in the files' order
  MovedRunReader moved_;    // the same runs again at the stream's end
  MovedRun skip_;
  bool skipping_;
  uint32_t file_ = 0;
  uint64_t fileStart_ = 0;
  uint64_t at_ = 0;  // in the files' order
};

// A run of the stream that is coded one way: stored bytes, or LZMA-coded ones
// up to the next stored stretch or the end of their block (one LZMA stream
// with its end mark). Blocks hold BlockSize unpacked bytes; from version 5 on
// BlockSize coded ones, the stored stretches not counted.
struct Piece {
  uint64_t Size = 0;
  bool Stored = false;
};

// The piece that starts at unpacked stream offset `offset`, where the piece
// before it ended (0 for the first). `nextStored` starts at 0 and is kept
// between calls: the first stored stretch not yet passed. An empty package is
// one empty coded piece.
Piece PieceAt(const Header& header, uint64_t offset, uint32_t& nextStored) noexcept;

struct Trailer {
  uint64_t HeaderOffset = 0;  // from the start of the file
  uint32_t HeaderSize = 0;
  uint32_t HeaderCrc = 0;  // CRC-32 of the header's bytes
};

enum class FormatError {
  None,
  NoTrailer,   // the file does not end with a trailer: not a single-file installer
  BadTrailer,  // offsets or sizes in the trailer lie outside the file
  BadHeaderMagic,
  VersionTooNew,  // written by a newer kit
  BadHeaderCrc,
  BadCounts,  // file count, launcher index, flags or header length
  BadName,    // not a plain file name
  DuplicateName,
  BadSizes,       // a file size, the sum or the stream size does not fit
  BadProperties,  // LZMA properties out of range
  BadRanges,      // block size or filtered ranges out of order or outside the stream
  BadMovedRuns,   // a moved run malformed, out of order or across a file's end
};

// Bytes the header takes when written in its Version's layout.
uint32_t HeaderBytes(const Header& header) noexcept;
// Writes the header into `out` in its Version's layout; returns the bytes
// written, or 0 when `capacity` is too small or a count is out of range.
uint32_t WriteHeader(const Header& header, uint8_t* out, uint32_t capacity) noexcept;
void WriteTrailer(const Trailer& trailer, uint8_t (&out)[kTrailerSize]) noexcept;

// Reads the last kTrailerSize bytes of a file of `fileSize` bytes.
FormatError ReadTrailer(const uint8_t (&bytes)[kTrailerSize], uint64_t fileSize,
                        Trailer& out) noexcept;
// Reads the header's `trailer.HeaderSize` bytes and checks them against the
// trailer and the file's size: the stream must fill the space up to the trailer.
FormatError ReadHeader(const uint8_t* bytes, const Trailer& trailer, uint64_t fileSize,
                       Header& out) noexcept;

// An Authenticode signature appends a certificate table after the trailer and
// names it in the PE header's security directory; the signer may put up to
// seven zero bytes before it, as the table starts on an 8-byte boundary.
inline constexpr uint32_t kImageHeadSize = 1024;  // bytes SignedPayloadEnd looks at
inline constexpr uint32_t kMaxSignaturePadding = 7;

// Where the single file's own bytes end in an image of `fileSize` bytes whose
// first `headSize` bytes are `head`: at the certificate table when the security
// directory names one that closes the file, otherwise at `fileSize`. A table
// anywhere else belongs to the self-extractor's own image (a stub signed before
// packing) and changes nothing.
uint64_t SignedPayloadEnd(const uint8_t* head, uint32_t headSize, uint64_t fileSize) noexcept;
// The zero bytes at the end of the `size` bytes before a certificate table, at
// most kMaxSignaturePadding: the trailer ends that much before the table.
uint32_t SignaturePadding(const uint8_t* before, uint32_t size) noexcept;

// Where the LZMA stream starts.
inline uint64_t StreamOffset(const Trailer& trailer) noexcept {
  return trailer.HeaderOffset + trailer.HeaderSize;
}

// A bare file name that is safe to create inside a folder: 1..kMaxNameLength
// units, no path separators, drive colons, wildcards or control characters, not
// "." or "..", no trailing dot or blank, not a device name such as CON or LPT1.
bool IsPlainFileName(const wchar_t* name, size_t length) noexcept;

// The dictionary size recorded in LZMA properties.
uint32_t DictionarySize(const uint8_t (&props)[kLzmaPropsSize]) noexcept;

}  // namespace onefile
