#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "formats/SingleFileFormat.h"
#include "support/Crc32.h"

using namespace onefile;

namespace {
constexpr size_t kStubSize = 1000;
constexpr size_t kStreamSize = 333;

void SetName(FileRecord& record, const std::wstring& name) {
  record.NameLength = static_cast<uint16_t>(name.size());
  std::wmemcpy(record.Name, name.c_str(), name.size());
}

Header SampleHeader() {
  Header header;
  header.FileCount = 3;
  header.LauncherIndex = 0;
  const uint8_t props[] = {0x5D, 0x00, 0x00, 0x40, 0x00};  // lc3 lp0 pb2, 4 MB
  std::memcpy(header.LzmaProps, props, sizeof props);
  SetName(header.Files[0], L"Установка.exe");
  header.Files[0].Size = 590848;
  header.Files[0].Crc = 0x12345678;
  SetName(header.Files[1], L"Setup.ini");
  header.Files[1].Size = 2000;
  header.Files[1].Crc = 0x9ABCDEF0;
  SetName(header.Files[2], L"data.dat");
  header.Files[2].Size = uint64_t{3} << 32;  // payloads beyond 4 GB are allowed
  header.UnpackedSize = 590848 + 2000 + (uint64_t{3} << 32);
  header.StreamSize = kStreamSize;
  header.StreamCrc = 0xCAFEBABE;
  header.BlockSize = 16u << 20;
  header.RangeCount = 2;
  header.Ranges[0] = {0, 590848};       // the launcher
  header.Ranges[1] = {592848, 100000};  // a program at the start of data.dat
  header.StoredCount = 1;
  header.Stored[0] = {700000, 5u << 20};  // media inside data.dat
  return header;
}

// A whole file as the packer lays it out: stub, header, stream, trailer.
struct Image {
  std::vector<uint8_t> bytes;
  Trailer trailer;
};

Image Build(const Header& header) {
  Image image;
  image.bytes.assign(kStubSize, 'M');
  image.trailer.HeaderOffset = kStubSize;
  image.trailer.HeaderSize = HeaderBytes(header);
  std::vector<uint8_t> headerBytes(image.trailer.HeaderSize);
  EXPECT_EQ(WriteHeader(header, headerBytes.data(), image.trailer.HeaderSize),
            image.trailer.HeaderSize);
  image.trailer.HeaderCrc = Crc32(headerBytes.data(), headerBytes.size());
  image.bytes.insert(image.bytes.end(), headerBytes.begin(), headerBytes.end());
  image.bytes.insert(image.bytes.end(), header.StreamSize, 0x77);
  uint8_t trailerBytes[kTrailerSize];
  WriteTrailer(image.trailer, trailerBytes);
  image.bytes.insert(image.bytes.end(), trailerBytes, trailerBytes + kTrailerSize);
  return image;
}

// Reads the image as the self-extractor does: trailer first, then the header.
FormatError Read(const std::vector<uint8_t>& bytes, Header& out) {
  uint8_t trailerBytes[kTrailerSize];
  if (bytes.size() < kTrailerSize)
    return FormatError::NoTrailer;
  std::memcpy(trailerBytes, bytes.data() + bytes.size() - kTrailerSize, kTrailerSize);
  Trailer trailer;
  const FormatError error = ReadTrailer(trailerBytes, bytes.size(), trailer);
  if (error != FormatError::None)
    return error;
  return ReadHeader(bytes.data() + trailer.HeaderOffset, trailer, bytes.size(), out);
}

// Changes header bytes and signs them again, as a faulty writer would.
std::vector<uint8_t> Resigned(Image image, size_t at, std::vector<uint8_t> patch) {
  std::memcpy(image.bytes.data() + kStubSize + at, patch.data(), patch.size());
  image.trailer.HeaderCrc = Crc32(image.bytes.data() + kStubSize, image.trailer.HeaderSize);
  uint8_t trailerBytes[kTrailerSize];
  WriteTrailer(image.trailer, trailerBytes);
  std::memcpy(image.bytes.data() + image.bytes.size() - kTrailerSize, trailerBytes, kTrailerSize);
  return image.bytes;
}

FormatError ReadWithName(const std::wstring& name) {
  Header header = SampleHeader();
  SetName(header.Files[1], name);
  Header out;
  return Read(Build(header).bytes, out);
}
// The pieces PieceAt gives one after another, sizes and kinds, up to the stream's end.
void ExpectPieces(const Header& header, const std::vector<std::pair<uint64_t, bool>>& expected) {
  uint32_t next = 0;
  uint64_t offset = 0;
  for (const auto& [size, stored] : expected) {
    const Piece piece = PieceAt(header, offset, next);
    EXPECT_EQ(piece.Size, size) << offset;
    EXPECT_EQ(piece.Stored, stored) << offset;
    offset += piece.Size;
  }
  EXPECT_EQ(offset, header.UnpackedSize);
}
}  // namespace

TEST(SingleFileFormat, HeaderRoundTrip) {
  const Header header = SampleHeader();
  const Image image = Build(header);
  EXPECT_EQ(image.trailer.HeaderSize, kFixedHeaderSize + 3 * kFileRecordFixedSize +
                                          2 * (13 + 9 + 8) + kBlockTableFixedSize +
                                          2 * kRangeRecordSize + kStoredTableFixedSize +
                                          kRangeRecordSize + kMovedTableFixedSize);
  Header out;
  ASSERT_EQ(Read(image.bytes, out), FormatError::None);
  EXPECT_EQ(out.Version, kFormatVersion);
  EXPECT_EQ(out.FileCount, 3u);
  EXPECT_EQ(out.LauncherIndex, 0u);
  EXPECT_EQ(std::memcmp(out.LzmaProps, header.LzmaProps, kLzmaPropsSize), 0);
  EXPECT_EQ(DictionarySize(out.LzmaProps), 4u << 20);
  EXPECT_EQ(out.UnpackedSize, header.UnpackedSize);
  EXPECT_EQ(out.StreamSize, kStreamSize);
  EXPECT_EQ(out.StreamCrc, 0xCAFEBABEu);
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(std::wstring(out.Files[i].Name), std::wstring(header.Files[i].Name));
    EXPECT_EQ(out.Files[i].NameLength, header.Files[i].NameLength);
    EXPECT_EQ(out.Files[i].Size, header.Files[i].Size);
    EXPECT_EQ(out.Files[i].Crc, header.Files[i].Crc);
  }
  EXPECT_EQ(out.BlockSize, 16u << 20);
  ASSERT_EQ(out.RangeCount, 2u);
  EXPECT_EQ(out.Ranges[1].Offset, 592848u);
  EXPECT_EQ(out.Ranges[1].Size, 100000u);
  ASSERT_EQ(out.StoredCount, 1u);
  EXPECT_EQ(out.Stored[0].Offset, 700000u);
  EXPECT_EQ(out.Stored[0].Size, 5u << 20);

  // Versions 2 and 3 have no stored table (nor a moved one); a writer refuses to drop one.
  Header older = header;
  older.Version = kSharedDictionaryVersion;
  std::vector<uint8_t> buffer(kMaxHeaderSize);
  EXPECT_EQ(WriteHeader(older, buffer.data(), kMaxHeaderSize), 0u);
  older.StoredCount = 0;
  const Image olderImage = Build(older);
  EXPECT_EQ(olderImage.trailer.HeaderSize, image.trailer.HeaderSize - kStoredTableFixedSize -
                                               kRangeRecordSize - kMovedTableFixedSize);
  ASSERT_EQ(Read(olderImage.bytes, out), FormatError::None);
  EXPECT_EQ(out.Version, kSharedDictionaryVersion);
  EXPECT_EQ(out.StoredCount, 0u);
  EXPECT_EQ(out.RangeCount, 2u);
}

// Pieces run to the next stored stretch or the block's end, whichever comes
// first; a stored stretch runs on across block ends.
TEST(SingleFileFormat, PiecesEndAtStoredStretchesAndBlockEnds) {
  Header header;
  header.Version = kStoredStretchesVersion;
  header.UnpackedSize = 10u << 20;
  header.BlockSize = 4u << 20;
  header.StoredCount = 2;
  header.Stored[0] = {1u << 20, 5u << 20};  // 1..6 MB, across the first block's end
  header.Stored[1] = {7u << 20, 1u << 20};  // 7..8 MB, up to the second block's end
  const std::vector<std::pair<uint64_t, bool>> expected = {
      {1u << 20, false}, {5u << 20, true}, {1u << 20, false}, {1u << 20, true}, {2u << 20, false}};
  ExpectPieces(header, expected);
  header.StoredCount = 0;
  uint32_t next = 0;
  EXPECT_EQ(PieceAt(header, 4u << 20, next).Size, 4u << 20);  // blocks alone
  EXPECT_EQ(PieceAt(header, 8u << 20, next).Size, 2u << 20);
  header = Header();
  next = 0;
  EXPECT_EQ(PieceAt(header, 0, next).Size, 0u);  // an empty package: one empty piece
}

// From version 5 on a block holds BlockSize coded bytes: the stored stretches
// between its pieces do not count.
TEST(SingleFileFormat, LaterBlocksAreCutByCodedBytes) {
  Header header;
  header.UnpackedSize = 10u << 20;
  header.BlockSize = 3u << 19;  // 1.5 MB
  header.StoredCount = 2;
  header.Stored[0] = {1u << 20, 5u << 20};
  header.Stored[1] = {7u << 20, 1u << 20};
  constexpr uint64_t kHalf = 1u << 19;
  const std::vector<std::pair<uint64_t, bool>> expected = {
      {2 * kHalf, false}, {10 * kHalf, true}, {kHalf, false},    {kHalf, false},
      {2 * kHalf, true},  {2 * kHalf, false}, {2 * kHalf, false}};
  ExpectPieces(header, expected);
}

TEST(SingleFileFormat, SingleStreamHeadersKeepTheirLayout) {
  Header header = SampleHeader();
  header.Version = kSingleStreamVersion;
  header.StoredCount = 0;
  const Image image = Build(header);
  EXPECT_EQ(image.trailer.HeaderSize,
            kFixedHeaderSize + 3 * kFileRecordFixedSize + 2 * (13 + 9 + 8));
  Header out;
  ASSERT_EQ(Read(image.bytes, out), FormatError::None);
  EXPECT_EQ(out.Version, kSingleStreamVersion);
  EXPECT_EQ(out.BlockSize, 0u);  // one block: the whole stream
  EXPECT_EQ(out.RangeCount, 0u);
  uint32_t next = 0;
  EXPECT_EQ(PieceAt(out, 0, next).Size, out.UnpackedSize);
}

TEST(SingleFileFormat, RefusesBlocksAndRangesThatDoNotFit) {
  Header out;
  auto readWith = [&](auto change) {
    Header header = SampleHeader();
    change(header);
    return Read(Build(header).bytes, out);
  };
  EXPECT_EQ(readWith([](Header& h) { h.BlockSize = kMinBlockSize - 1; }), FormatError::BadRanges);
  EXPECT_EQ(readWith([](Header& h) { h.Ranges[1].Offset = 590847; }), FormatError::BadRanges);
  EXPECT_EQ(readWith([](Header& h) { h.Ranges[1].Size = 0; }), FormatError::BadRanges);
  EXPECT_EQ(readWith([](Header& h) { h.Ranges[1].Offset = h.UnpackedSize; }),
            FormatError::BadRanges);
  // Up to version 5 a range may be as long as the stream.
  EXPECT_EQ(readWith([](Header& h) {
              h.Version = kMovedRunsVersion;
              h.Ranges[1].Offset = 600000;
              h.Ranges[1].Size = ~uint64_t{0} - 100;  // wraps around when added
            }),
            FormatError::BadRanges);
  EXPECT_EQ(readWith([](Header& h) {
              h.Version = kMovedRunsVersion;
              h.StoredCount = 0;
              h.Ranges[1].Size = h.UnpackedSize - 592848;
            }),
            FormatError::None);
  // Stored stretches obey the same rules among themselves.
  EXPECT_EQ(readWith([](Header& h) { h.Stored[0].Size = 0; }), FormatError::BadRanges);
  EXPECT_EQ(readWith([](Header& h) { h.Stored[0].Offset = h.UnpackedSize - 10; }),
            FormatError::BadRanges);
  EXPECT_EQ(readWith([](Header& h) {
              h.StoredCount = 2;
              h.Stored[1] = {h.Stored[0].Offset + 100, 100};  // inside the one before
            }),
            FormatError::BadRanges);
  // A wrong range count: one more takes the file table's last name for a range
  // beyond the stream; one fewer leaves a range's bytes after the file table.
  Header withoutStored = SampleHeader();
  withoutStored.StoredCount = 0;
  const Image image = Build(withoutStored);
  // The range count, before the stored and the moved ones.
  const size_t countAt = image.trailer.HeaderSize - 8 - kMovedTableFixedSize;
  EXPECT_EQ(Read(Resigned(image, countAt, {3}), out), FormatError::BadRanges);
  EXPECT_EQ(Read(Resigned(image, countAt, {1}), out), FormatError::BadCounts);
  EXPECT_EQ(Read(Resigned(image, countAt, {0xFF, 0xFF}), out), FormatError::BadRanges);
  EXPECT_EQ(Read(Resigned(image, countAt + 4, {0xFF, 0xFF}), out), FormatError::BadRanges);
}

// The operand split counts a range's offsets in 32 bits: from version 6 on a
// range longer than kMaxSplitSpan is neither written nor read.
TEST(SingleFileFormat, SplitRangesStayUnderTheirSpanLimit) {
  Header header = SampleHeader();
  header.StoredCount = 0;
  header.Ranges[1].Size = kMaxSplitSpan;
  Header out;
  ASSERT_EQ(Read(Build(header).bytes, out), FormatError::None);
  EXPECT_EQ(out.Ranges[1].Size, kMaxSplitSpan);

  header.Ranges[1].Size = kMaxSplitSpan + 1;
  std::vector<uint8_t> bytes(HeaderBytes(header));
  EXPECT_EQ(WriteHeader(header, bytes.data(), static_cast<uint32_t>(bytes.size())), 0u);
  // The same range in a version-5 header, then that header called version 6.
  header.Version = kMovedRunsVersion;
  const Image older = Build(header);
  ASSERT_EQ(Read(older.bytes, out), FormatError::None);
  EXPECT_EQ(Read(Resigned(older, 8, {kSplitOperandsVersion, 0}), out), FormatError::BadRanges);
}

TEST(SingleFileFormat, RefusesFilesThatAreNotSingleFileInstallers) {
  Header out;
  EXPECT_EQ(Read({}, out), FormatError::NoTrailer);
  EXPECT_EQ(Read(std::vector<uint8_t>(5000, 'M'), out), FormatError::NoTrailer);
  std::vector<uint8_t> bytes = Build(SampleHeader()).bytes;
  bytes.back() ^= 1;  // the trailer's magic
  EXPECT_EQ(Read(bytes, out), FormatError::NoTrailer);
}

TEST(SingleFileFormat, RefusesDamagedOrForeignHeaders) {
  const Image image = Build(SampleHeader());
  Header out;

  std::vector<uint8_t> magic = image.bytes;
  magic[kStubSize] = 'X';
  EXPECT_EQ(Read(magic, out), FormatError::BadHeaderMagic);

  EXPECT_EQ(Read(Resigned(image, 8, {static_cast<uint8_t>(kFormatVersion + 1), 0}), out),
            FormatError::VersionTooNew);
  std::vector<uint8_t> newer = image.bytes;  // a newer header need not match this checksum rule
  newer[kStubSize + 8] = 0xFF;
  EXPECT_EQ(Read(newer, out), FormatError::VersionTooNew);
  EXPECT_EQ(Read(Resigned(image, 8, {0, 0}), out), FormatError::BadCounts);

  // One flipped bit anywhere in the file table.
  for (size_t at = kFixedHeaderSize; at < image.trailer.HeaderSize; at += 7) {
    std::vector<uint8_t> flipped = image.bytes;
    flipped[kStubSize + at] ^= 0x10;
    EXPECT_EQ(Read(flipped, out), FormatError::BadHeaderCrc) << "byte " << at;
  }

  EXPECT_EQ(Read(Resigned(image, 10, {1, 0}), out), FormatError::BadCounts);  // unknown flag
  EXPECT_EQ(Read(Resigned(image, 12, {0, 0, 0, 0}), out), FormatError::BadCounts);
  EXPECT_EQ(Read(Resigned(image, 12, {65, 0, 0, 0}), out), FormatError::BadCounts);
  EXPECT_EQ(Read(Resigned(image, 12, {2, 0, 0, 0}), out), FormatError::BadCounts);  // bytes left
  EXPECT_EQ(Read(Resigned(image, 12, {4, 0, 0, 0}), out), FormatError::BadCounts);  // runs out
  EXPECT_EQ(Read(Resigned(image, 16, {3, 0, 0, 0}), out), FormatError::BadCounts);  // launcher
  EXPECT_EQ(Read(Resigned(image, 20, {225}), out), FormatError::BadProperties);
  EXPECT_EQ(Read(Resigned(image, 21, {0, 0, 0, 0x20}), out), FormatError::BadProperties);
}

TEST(SingleFileFormat, RefusesSizesThatDoNotFitTheFile) {
  const Image image = Build(SampleHeader());
  Header out;
  // The stream claims one byte more or less than lies before the trailer.
  static_assert(kStreamSize == 0x14D);
  EXPECT_EQ(Read(Resigned(image, 36, {0x4E, 0x01}), out), FormatError::BadSizes);
  EXPECT_EQ(Read(Resigned(image, 36, {0x4C, 0x01}), out), FormatError::BadSizes);
  // A stream size so large that the sum wraps around.
  EXPECT_EQ(Read(Resigned(image, 36, {0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), out),
            FormatError::BadSizes);
  // The total disagrees with the files; one file beyond the limit.
  EXPECT_EQ(Read(Resigned(image, 28, {1}), out), FormatError::BadSizes);
  EXPECT_EQ(Read(Resigned(image, kFixedHeaderSize, {0, 0, 0, 0, 0, 0, 0, 0x80}), out),
            FormatError::BadSizes);

  // A truncated file: its trailer is gone, or it points beyond what is left.
  std::vector<uint8_t> cut(image.bytes.begin(), image.bytes.end() - 100);
  EXPECT_EQ(Read(cut, out), FormatError::NoTrailer);
  std::vector<uint8_t> shortened = image.bytes;  // bytes lost inside the stream
  shortened.erase(shortened.end() - kTrailerSize - 50, shortened.end() - kTrailerSize - 40);
  EXPECT_EQ(Read(shortened, out), FormatError::BadSizes);
  std::vector<uint8_t> tiny(image.bytes.end() - kTrailerSize - 10, image.bytes.end());
  EXPECT_EQ(Read(tiny, out), FormatError::BadTrailer);
}

TEST(SingleFileFormat, RefusesTrailersPointingOutside) {
  Image image = Build(SampleHeader());
  Trailer trailer;
  uint8_t bytes[kTrailerSize];
  image.trailer.HeaderOffset = image.bytes.size();
  WriteTrailer(image.trailer, bytes);
  EXPECT_EQ(ReadTrailer(bytes, image.bytes.size(), trailer), FormatError::BadTrailer);
  image.trailer.HeaderOffset = ~uint64_t{0} - 10;  // wraps around when the size is added
  WriteTrailer(image.trailer, bytes);
  EXPECT_EQ(ReadTrailer(bytes, image.bytes.size(), trailer), FormatError::BadTrailer);
  image.trailer.HeaderOffset = kStubSize;
  image.trailer.HeaderSize = kMaxHeaderSize + 1;
  WriteTrailer(image.trailer, bytes);
  EXPECT_EQ(ReadTrailer(bytes, 1u << 20, trailer), FormatError::BadTrailer);
  image.trailer.HeaderSize = kFixedHeaderSize - 1;
  WriteTrailer(image.trailer, bytes);
  EXPECT_EQ(ReadTrailer(bytes, 1u << 20, trailer), FormatError::BadTrailer);
}

TEST(SingleFileFormat, NamesArePlainFileNamesOnly) {
  EXPECT_EQ(ReadWithName(L"setup.dat"), FormatError::None);
  EXPECT_EQ(ReadWithName(L"Программа.v2.exe"), FormatError::None);
  EXPECT_EQ(ReadWithName(L"console.txt"), FormatError::None);
  EXPECT_EQ(ReadWithName(L"COM10"), FormatError::None);
  for (const wchar_t* bad : {L".",
                             L"..",
                             L"..\\Setup.ini",
                             L"sub\\Setup.ini",
                             L"sub/Setup.ini",
                             L"C:Setup.ini",
                             L"\\\\server\\share",
                             L"a*b",
                             L"a?b",
                             L"a\"b",
                             L"a<b",
                             L"a>b",
                             L"a|b",
                             L"tab\there",
                             L"name.",
                             L"name ",
                             L"CON",
                             L"con.txt",
                             L"Nul",
                             L"aux.dat",
                             L"PRN ",
                             L"COM1",
                             L"lpt9.log",
                             L"CONIN$",
                             L"conout$.x",
                             L"CON .txt"})
    EXPECT_EQ(ReadWithName(bad), FormatError::BadName) << Narrow(bad);
  EXPECT_EQ(ReadWithName(std::wstring(kMaxNameLength, L'a')), FormatError::None);

  // Longer than the limit, and empty: the length itself is refused.
  Header header = SampleHeader();
  const Image image = Build(header);
  EXPECT_EQ(Read(Resigned(image, kFixedHeaderSize + 12, {0, 0}), header), FormatError::BadName);
  EXPECT_EQ(Read(Resigned(image, kFixedHeaderSize + 12, {201, 0}), header), FormatError::BadName);
  // A name of two characters claimed to be of 2000.
  EXPECT_EQ(Read(Resigned(image, kFixedHeaderSize + 12, {0xD0, 0x07}), header),
            FormatError::BadName);
}

TEST(SingleFileFormat, RefusesTheSameNameTwiceInAnyCase) {
  EXPECT_EQ(ReadWithName(L"УСТАНОВКА.EXE"), FormatError::DuplicateName);
  EXPECT_EQ(ReadWithName(L"data.DAT"), FormatError::DuplicateName);
}

TEST(SingleFileFormat, WriterRefusesWhatItCannotWrite) {
  Header header = SampleHeader();
  std::vector<uint8_t> bytes(kMaxHeaderSize);
  EXPECT_EQ(WriteHeader(header, bytes.data(), HeaderBytes(header) - 1), 0u);
  header.FileCount = 0;
  EXPECT_EQ(WriteHeader(header, bytes.data(), kMaxHeaderSize), 0u);
  header.FileCount = kMaxFiles + 1;
  EXPECT_EQ(WriteHeader(header, bytes.data(), kMaxHeaderSize), 0u);
}

namespace {
// Moved runs as the packer codes them.
std::vector<uint8_t> MovedTable(const std::vector<std::pair<uint64_t, uint64_t>>& gapsAndSizes) {
  std::vector<uint8_t> table;
  for (const auto& [gap, size] : gapsAndSizes) {
    uint8_t run[kMaxMovedRunBytes];
    const uint32_t bytes = EncodeMovedRun(gap, size, run);
    table.insert(table.end(), run, run + bytes);
  }
  return table;
}

std::vector<Span> SpansOf(const Header& header) {
  std::vector<Span> spans;
  StreamSpans walk(header);
  for (Span span; walk.Next(span);) spans.push_back(span);
  return spans;
}

}  // namespace

namespace onefile {
bool operator==(const Span& a, const Span& b) {
  return a.File == b.File && a.Offset == b.Offset && a.Size == b.Size;
}
}  // namespace onefile

// The stream carries the files without their moved runs, then the runs in
// table order; an empty file is one empty span, a wholly moved one none.
TEST(SingleFileFormat, MovedRunsGoToTheStreamsEnd) {
  Header header = SampleHeader();
  header.FileCount = 4;
  SetName(header.Files[3], L"empty.txt");
  header.Files[3].Size = 0;
  // data.dat (from 592848) loses 100 bytes at 10 and 200 bytes at 1000 to the
  // end, and a run of 300 bytes right at its start; Setup.ini moves whole.
  const std::vector<uint8_t> table = MovedTable({{590848, 2000}, {0, 300}, {10, 100}, {590, 200}});
  header.MovedCount = 4;
  header.MovedBytes = static_cast<uint32_t>(table.size());
  header.Moved = table.data();
  const Image image = Build(header);
  Header out;
  ASSERT_EQ(Read(image.bytes, out), FormatError::None);
  EXPECT_EQ(out.MovedCount, 4u);
  ASSERT_EQ(out.MovedBytes, table.size());
  EXPECT_EQ(std::vector<uint8_t>(out.Moved, out.Moved + out.MovedBytes), table);
  const uint64_t dataSize = header.Files[2].Size;
  const std::vector<Span> expected = {
      {0, 0, 590848}, {2, 300, 10}, {2, 410, 590}, {2, 1200, dataSize - 1200},
      {3, 0, 0},      {1, 0, 2000}, {2, 0, 300},   {2, 310, 100},
      {2, 1000, 200}};
  EXPECT_TRUE(SpansOf(out) == expected);
  uint64_t total = 0;
  for (const Span& span : SpansOf(out)) total += span.Size;
  EXPECT_EQ(total, out.UnpackedSize);

  // Without moved runs every file is one span, as before version 5.
  header.MovedCount = header.MovedBytes = 0;
  header.Moved = nullptr;
  ASSERT_EQ(Read(Build(header).bytes, out), FormatError::None);
  EXPECT_TRUE(SpansOf(out) ==
              (std::vector<Span>{{0, 0, 590848}, {1, 0, 2000}, {2, 0, dataSize}, {3, 0, 0}}));
}

TEST(SingleFileFormat, RefusesMovedRunsThatDoNotFit) {
  const auto readWith = [](const std::vector<std::pair<uint64_t, uint64_t>>& runs,
                           int countChange = 0, std::vector<uint8_t> extra = {}) {
    Header header = SampleHeader();
    std::vector<uint8_t> table = MovedTable(runs);
    table.insert(table.end(), extra.begin(), extra.end());
    header.MovedCount = static_cast<uint32_t>(runs.size() + countChange);
    header.MovedBytes = static_cast<uint32_t>(table.size());
    header.Moved = table.data();
    Header out;
    return Read(Build(header).bytes, out);
  };
  EXPECT_EQ(readWith({{100, 50}, {0, 1}}), FormatError::None);
  EXPECT_EQ(readWith({{100, 0}}), FormatError::BadMovedRuns);                // empty
  EXPECT_EQ(readWith({{590800, 100}}), FormatError::BadMovedRuns);           // across a file's end
  EXPECT_EQ(readWith({{uint64_t{1} << 40, 1}}), FormatError::BadMovedRuns);  // past the stream
  EXPECT_EQ(readWith({{~uint64_t{0}, 1}}), FormatError::BadMovedRuns);       // offset overflows
  EXPECT_EQ(readWith({{100, 50}}, 1), FormatError::BadMovedRuns);            // count too large
  EXPECT_EQ(readWith({{100, 50}, {0, 1}}, -1), FormatError::BadMovedRuns);   // bytes left over
  EXPECT_EQ(readWith({{100, 50}}, 0, {0x80}), FormatError::BadMovedRuns);    // a cut-off number
  // A number of more than 64 bits.
  EXPECT_EQ(readWith({}, 1, std::vector<uint8_t>(10, 0xFF)), FormatError::BadMovedRuns);
}
