#include <gtest/gtest.h>

#include "TestUtil.h"
#include "designer/SingleFilePacker.h"
#include "sfx/PackageImage.h"

namespace {
using Names = std::vector<std::wstring>;

class Observer final : public ExtractObserver {
 public:
  void Progress(uint64_t done, uint64_t total) override {
    last = done;
    this->total = total;
    ++calls;
  }
  bool Cancelled() override { return cancelAfter >= 0 && calls > cancelAfter; }

  uint64_t last = 0;
  uint64_t total = 0;
  int calls = 0;
  int cancelAfter = -1;
};

// A single-file installer made by the packer from three files, and a folder
// to unpack it into.
class PackageImageTest : public ::testing::Test {
 protected:
  PackageImageTest() {
    CreateDirectoryW((dir / L"src").c_str(), nullptr);
    CreateDirectoryW((dir / L"unpacked").c_str(), nullptr);
    WritePatternFile(dir / L"sfx.dat", 4096, 1);
    SingleFileJob job;
    job.StubPath = dir / L"sfx.dat";
    job.OutputPath = dir / L"Setup.exe";
    job.LauncherName = L"Установка.exe";
    Add(job, L"Установка.exe", 600000, 2);
    Add(job, L"empty.ini", 0, 3);
    // Text-like bytes, so the stream is much shorter than the data.
    std::string text;
    for (int i = 0; i < 40000; ++i) text += "строка " + std::to_string(i % 977) + "\r\n";
    WriteTextFile(dir / L"src\\data.dat", text);
    job.Files.push_back({dir / L"src\\data.dat", L"data.dat"});
    NullProgress progress;
    PackSingleFile(job, progress);
  }
  void Add(SingleFileJob& job, const std::wstring& name, int64_t size, unsigned seed) {
    WritePatternFile(dir / (L"src\\" + name), size, seed);
    job.Files.push_back({dir / (L"src\\" + name), name});
  }

  bool Extract(const std::wstring& image, ExtractFailure& failure) {
    PackageImage package;
    HeldFiles files;
    return package.Open(image.c_str(), failure) &&
           package.ExtractTo((dir / L"unpacked").c_str(), observer, failure, files);
  }

  // The packed file with one byte changed at `offset` from its end.
  std::wstring FlippedCopy(int64_t offsetFromEnd) {
    std::string bytes = ReadFileBytes(dir / L"Setup.exe");
    bytes[bytes.size() - offsetFromEnd] ^= 0x01;
    WriteTextFile(dir / L"damaged.exe", bytes);
    return dir / L"damaged.exe";
  }

  TempDir dir;
  Observer observer;
  HeldFiles held;  // closed before the folder goes
};
}  // namespace

TEST_F(PackageImageTest, UnpacksEveryFileAsPacked) {
  ExtractFailure failure;
  PackageImage package;
  ASSERT_TRUE(package.Open((dir / L"Setup.exe").c_str(), failure));
  EXPECT_EQ(package.Header().FileCount, 3u);
  EXPECT_EQ(std::wstring(package.Header().Files[package.Header().LauncherIndex].Name),
            L"Установка.exe");
  ASSERT_TRUE(package.ExtractTo((dir / L"unpacked").c_str(), observer, failure, held))
      << static_cast<int>(failure.Status);
  EXPECT_EQ(FilesIn(dir / L"unpacked"), (Names{L"data.dat", L"empty.ini", L"Установка.exe"}));
  for (const wchar_t* name : {L"Установка.exe", L"empty.ini", L"data.dat"})
    EXPECT_TRUE(ReadFileBytes(dir / L"unpacked\\" + name) == ReadFileBytes(dir / L"src\\" + name))
        << Narrow(name);
  EXPECT_EQ(observer.last, observer.total);
  EXPECT_EQ(observer.total, package.Header().UnpackedSize);

  // Held until the setup program has started: readable, but nobody rewrites,
  // replaces or deletes a file meanwhile.
  EXPECT_EQ(held.Count(), 3u);
  const std::wstring data = dir / L"unpacked\\data.dat";
  const FileHandle writer(CreateFileW(data.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(writer.Valid());
  EXPECT_FALSE(DeleteFileW(data.c_str()));
  EXPECT_FALSE(MoveFileW(data.c_str(), (dir / L"moved.dat").c_str()));
  held.Close();
  const std::wstring launcher = dir / L"unpacked\\Установка.exe";
  EXPECT_TRUE(FileHandle(CreateFileW(launcher.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                     nullptr))
                  .Valid())
      << "closed, the files are free again";
}

TEST_F(PackageImageTest, OneFlippedByteAnywhereInTheStreamIsDamage) {
  const int64_t size = GetFileSize64(dir / L"Setup.exe");
  PackageImage intact;
  ExtractFailure failure;
  ASSERT_TRUE(intact.Open((dir / L"Setup.exe").c_str(), failure));
  const int64_t streamSize = static_cast<int64_t>(intact.Header().StreamSize);
  // The first, a middle and the last byte of the stream (the trailer is 24 bytes).
  for (int64_t fromEnd : {24 + streamSize, 24 + streamSize / 2, int64_t{25}}) {
    EmptyTree(dir / L"unpacked");
    ExtractFailure damaged;
    EXPECT_FALSE(Extract(FlippedCopy(fromEnd), damaged)) << "byte " << size - fromEnd;
    EXPECT_EQ(damaged.Status, ExtractStatus::Damaged) << "byte " << size - fromEnd;
  }
}

TEST_F(PackageImageTest, DamagedHeaderOrTruncatedFileIsRefusedBeforeWriting) {
  PackageImage intact;
  ExtractFailure failure;
  ASSERT_TRUE(intact.Open((dir / L"Setup.exe").c_str(), failure));
  const int64_t headerFromEnd = 24 + static_cast<int64_t>(intact.Header().StreamSize) + 30;

  ExtractFailure header;
  EXPECT_FALSE(Extract(FlippedCopy(headerFromEnd), header));
  EXPECT_EQ(header.Status, ExtractStatus::Damaged);
  EXPECT_EQ(header.Format, onefile::FormatError::BadHeaderCrc);

  std::string bytes = ReadFileBytes(dir / L"Setup.exe");
  WriteTextFile(dir / L"cut.exe", bytes.substr(0, bytes.size() - 1000));
  ExtractFailure cut;
  EXPECT_FALSE(Extract(dir / L"cut.exe", cut));
  EXPECT_EQ(cut.Status, ExtractStatus::Damaged);
  EXPECT_EQ(cut.Format, onefile::FormatError::NoTrailer);

  // The stub alone, as a copy of sfx.dat that was never packed.
  ExtractFailure bare;
  EXPECT_FALSE(Extract(dir / L"sfx.dat", bare));
  EXPECT_EQ(bare.Format, onefile::FormatError::NoTrailer);
  EXPECT_TRUE(FilesIn(dir / L"unpacked").empty());
}

TEST_F(PackageImageTest, NeverOverwritesAFileAlreadyThere) {
  WriteTextFile(dir / L"unpacked\\empty.ini", "someone else's");
  ExtractFailure failure;
  EXPECT_FALSE(Extract(dir / L"Setup.exe", failure));
  EXPECT_EQ(failure.Status, ExtractStatus::CannotWrite);
  EXPECT_EQ(failure.SystemCode, static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(std::wstring(failure.FileName), L"empty.ini");
  EXPECT_EQ(ReadFileBytes(dir / L"unpacked\\empty.ini"), "someone else's");
}

TEST_F(PackageImageTest, StopsWhenCancelled) {
  observer.cancelAfter = 1;
  ExtractFailure failure;
  EXPECT_FALSE(Extract(dir / L"Setup.exe", failure));
  EXPECT_EQ(failure.Status, ExtractStatus::Cancelled);
  EXPECT_EQ(observer.calls, 2);
}

TEST_F(PackageImageTest, FindsThePackageBeforeASignatureAndStillRefusesDamage) {
  const std::string packed = ReadFileBytes(dir / L"Setup.exe");
  ASSERT_NE(packed.size() % 8, 0u) << "the padding case needs an unaligned trailer";
  for (bool pe32Plus : {false, true}) {
    EmptyTree(dir / L"unpacked");
    WriteTextFile(dir / L"signed.exe", AsSigned(packed, pe32Plus));
    ExtractFailure failure;
    EXPECT_TRUE(Extract(dir / L"signed.exe", failure)) << static_cast<int>(failure.Format);
    EXPECT_EQ(ReadFileBytes(dir / L"unpacked\\data.dat"), ReadFileBytes(dir / L"src\\data.dat"));
  }

  PackageImage intact;
  ExtractFailure failure;
  ASSERT_TRUE(intact.Open((dir / L"Setup.exe").c_str(), failure));
  std::string damaged = AsSigned(packed);
  damaged[packed.size() - 24 - intact.Header().StreamSize / 2] ^= 0x01;
  WriteTextFile(dir / L"damaged.exe", damaged);
  EmptyTree(dir / L"unpacked");
  ExtractFailure stream;
  EXPECT_FALSE(Extract(dir / L"damaged.exe", stream));
  EXPECT_EQ(stream.Status, ExtractStatus::Damaged);

  // A table that does not close the file is the stub's own: the trailer must
  // then be the file's last bytes, and bytes after the table are no trailer.
  EmptyTree(dir / L"unpacked");
  WriteTextFile(dir / L"appended.exe", AsSigned(packed) + "more");
  ExtractFailure appended;
  EXPECT_FALSE(Extract(dir / L"appended.exe", appended));
  EXPECT_EQ(appended.Format, onefile::FormatError::NoTrailer);
  EXPECT_TRUE(FilesIn(dir / L"unpacked").empty());
}

// Unpacks an opened single file of Setup.exe and data.dat into dir\\unpacked
// and compares both with their sources in dir; then a copy with one bit changed
// `beforeTrailer` bytes before the trailer must be refused as damaged.
static void ExpectUnpacksAndRefusesDamage(TempDir& dir, PackageImage& package,
                                          const std::wstring& single, uint64_t beforeTrailer) {
  ExtractFailure failure;
  Observer observer;
  HeldFiles held;
  ASSERT_TRUE(package.ExtractTo((dir / L"unpacked").c_str(), observer, failure, held))
      << static_cast<int>(failure.Status);
  for (const wchar_t* name : {L"Setup.exe", L"data.dat"})
    EXPECT_TRUE(ReadFileBytes(dir / L"unpacked\\" + name) == ReadFileBytes(dir / name))
        << Narrow(name);

  std::string bytes = ReadFileBytes(single);
  bytes[bytes.size() - onefile::kTrailerSize - beforeTrailer] ^= 0x20;
  const std::wstring damagedPath = dir / L"damaged.exe";
  WriteTextFile(damagedPath, bytes);
  held.Close();
  EmptyTree(dir / L"unpacked");
  PackageImage damaged;
  EXPECT_FALSE(damaged.Open(damagedPath.c_str(), failure) &&
               damaged.ExtractTo((dir / L"unpacked").c_str(), observer, failure, held));
  EXPECT_EQ(failure.Status, ExtractStatus::Damaged);
}

// "line <i % 313>" lines, which pack well.
static std::string NumberedLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "line " + std::to_string(i % 313) + "\r\n";
  return text;
}

// A job over the folder's sfx.dat and its Setup.exe and data.dat, in the order given.
static SingleFileJob JobOver(TempDir& dir, const std::vector<const wchar_t*>& names) {
  SingleFileJob job;
  job.StubPath = dir / L"sfx.dat";
  job.OutputPath = dir / L"single.exe";
  job.LauncherName = L"Setup.exe";
  for (const wchar_t* name : names) job.Files.push_back({dir / name, name});
  return job;
}

// Several blocks, two threads, and a program image whose calls cross every
// block boundary: the filter's bytes held back at a block's end must be undone
// with the next block's first ones.
TEST(PackageImageBlocks, UnpacksProgramImagesAcrossBlockBoundaries) {
  TempDir dir;
  CreateDirectoryW((dir / L"unpacked").c_str(), nullptr);
  WritePatternFile(dir / L"sfx.dat", 4096, 1);
  WriteProgramImage(dir / L"Setup.exe", 2600000, 4);
  WriteTextFile(dir / L"data.dat", NumberedLines(90000));
  SingleFileJob job = JobOver(dir, {L"data.dat", L"Setup.exe"});
  job.Settings.BlockSize = onefile::kMinBlockSize;
  job.Settings.Threads = 2;
  NullProgress progress;
  PackSingleFile(job, progress);

  PackageImage package;
  ExtractFailure failure;
  ASSERT_TRUE(package.Open(job.OutputPath.c_str(), failure));
  EXPECT_EQ(package.Header().BlockSize, onefile::kMinBlockSize);
  ASSERT_EQ(package.Header().RangeCount, 1u);  // the program's code, packed first
  EXPECT_EQ(package.Header().Ranges[0].Offset, 0x400u);
  EXPECT_EQ(package.Header().Ranges[0].Size, 2600000u - 0x400);
  // A changed byte in a later block is damage too.
  ExpectUnpacksAndRefusesDamage(dir, package, job.OutputPath, package.Header().StreamSize / 3);
}

// Single files of the earlier formats, written by the packers of their time
// beside the tests: data/version1.sfx, one stream and no filter, and
// data/version2.sfx, three independent 1 MiB blocks, data/version3.sfx,
// three blocks that share the dictionary, and data/version4.sfx, the same with
// the (empty) table of stored stretches, data/version5.sfx, the same with the
// (empty) table of moved runs and a program image code.exe
// (WriteProgramImage(12000, 5)) through the branch filter. All carry a
// launcher of 3000 bytes i * 7 % 251 and a script naming the version; the
// later ones also 300,000 lines "line <i % 313>" as data.dat, so that a reader
// that took version 2's blocks to share a dictionary, or version 3's not to,
// would get them wrong.
void ExpectFixtureUnpacks(const wchar_t* name, uint16_t version, const char* versionName) {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring fixture(self, length);
  fixture = fixture.substr(0, fixture.rfind(L'\\')) + L"\\data\\" + name;
  TempDir dir;
  PackageImage package;
  ExtractFailure failure;
  ASSERT_TRUE(package.Open(fixture.c_str(), failure)) << static_cast<int>(failure.Format);
  EXPECT_EQ(package.Header().Version, version);
  Observer observer;
  HeldFiles held;
  ASSERT_TRUE(package.ExtractTo(dir.Path().c_str(), observer, failure, held))
      << static_cast<int>(failure.Status);
  std::string launcher;
  for (int i = 0; i < 3000; ++i) launcher += static_cast<char>(i * 7 % 251);
  std::string script;
  for (int i = 0; i < 40; ++i) script += std::string("[Setup]\r\nversion=") + versionName + "\r\n";
  EXPECT_TRUE(ReadFileBytes(dir / L"Setup.exe") == launcher);
  EXPECT_TRUE(ReadFileBytes(dir / L"Setup.ini") == script);
  if (version >= onefile::kIndependentBlocksVersion) {
    EXPECT_LT(uint64_t{package.Header().BlockSize} * 2, package.Header().UnpackedSize);
    std::string data;
    for (int i = 0; i < 300000; ++i) data += "line " + std::to_string(i % 313) + "\r\n";
    EXPECT_TRUE(ReadFileBytes(dir / L"data.dat") == data);
  }
  if (version >= onefile::kMovedRunsVersion) {
    ASSERT_EQ(package.Header().RangeCount, 1u);
    TempDir expected;
    WriteProgramImage(expected / L"code.exe", 12000, 5);
    EXPECT_TRUE(ReadFileBytes(dir / L"code.exe") == ReadFileBytes(expected / L"code.exe"));
  }
}

TEST(PackageImageVersions, ReadsTheEarlierFormats) {
  ExpectFixtureUnpacks(L"version1.sfx", onefile::kSingleStreamVersion, "one");
  ExpectFixtureUnpacks(L"version2.sfx", onefile::kIndependentBlocksVersion, "two");
  ExpectFixtureUnpacks(L"version3.sfx", onefile::kSharedDictionaryVersion, "three");
  ExpectFixtureUnpacks(L"version4.sfx", onefile::kStoredStretchesVersion, "four");
  ExpectFixtureUnpacks(L"version5.sfx", onefile::kMovedRunsVersion, "five");
}

// Random bytes stand in the stream as they are, between coded pieces that go on
// from each other's dictionary; a changed stored byte is damage like any other.
TEST(PackageImageBlocks, StoresIncompressibleStretchesAsTheyAre) {
  TempDir dir;
  CreateDirectoryW((dir / L"unpacked").c_str(), nullptr);
  WritePatternFile(dir / L"sfx.dat", 4096, 1);
  WritePatternFile(dir / L"media.bin", 6u << 20, 2);
  const std::string text = NumberedLines(60000);
  WriteTextFile(dir / L"Setup.exe", text);
  WriteTextFile(dir / L"data.dat", ReadFileBytes(dir / L"media.bin") + text);
  SingleFileJob job = JobOver(dir, {L"Setup.exe", L"data.dat"});
  job.Settings.BlockSize = 2u << 20;
  NullProgress progress;
  const SingleFileResult result = PackSingleFile(job, progress);

  PackageImage package;
  ExtractFailure failure;
  ASSERT_TRUE(package.Open(job.OutputPath.c_str(), failure));
  ASSERT_EQ(package.Header().StoredCount, 1u);
  const uint64_t start = text.size();  // the media, at a 64 KB boundary on
  EXPECT_EQ(package.Header().Stored[0].Offset, (start + 0xFFFF) / 0x10000 * 0x10000);
  EXPECT_EQ(package.Header().Stored[0].Offset + package.Header().Stored[0].Size,
            (start + (6u << 20)) / 0x10000 * 0x10000);
  // Stored, the media grows by nothing; the text, twice, shrinks to little.
  EXPECT_LT(result.StreamSize, (6u << 20) + 0x20000 + 40000);
  ExpectUnpacksAndRefusesDamage(dir, package, job.OutputPath, package.Header().StreamSize / 2);
}

// Random members of data.dat travel at the stream's end, stored, and come
// back to their places: one at data.dat's start, one at its end, the rest
// among text. A random member that occurs twice, and one under the least
// size, stay where they are. A changed byte of the moved ones is found by the
// file's CRC-32, summed in pieces.
TEST(PackageImageBlocks, MovedMembersComeBackToTheirPlaces) {
  TempDir dir;
  CreateDirectoryW((dir / L"unpacked").c_str(), nullptr);
  WritePatternFile(dir / L"sfx.dat", 4096, 1);
  WriteTextFile(dir / L"Setup.exe", NumberedLines(1000));
  WriteTextFile(dir / L"empty.txt", "");
  const auto random = [&](int64_t size, unsigned seed) {
    WritePatternFile(dir / L"member.bin", size, seed);
    return ReadFileBytes(dir / L"member.bin");
  };
  std::vector<std::string> members = {random(3000, 1)};
  for (unsigned i = 0; i < 40; ++i) {
    members.push_back(NumberedLines(200 + static_cast<int>(i) * 7));
    members.push_back(random(1000 + i * 50, 10 + i));
  }
  members.push_back(random(5000, 99));  // twice: LZMA finds the copy
  members.push_back(NumberedLines(300));
  members.push_back(random(5000, 99));
  members.push_back(random(100, 7));  // too small to be worth a run
  members.push_back(random(2000, 8));
  std::string data;
  SingleFileJob job = JobOver(dir, {L"Setup.exe", L"empty.txt", L"data.dat"});
  for (const std::string& member : members) {
    data += member;
    job.Files[2].Parts.push_back(member.size());
  }
  WriteTextFile(dir / L"data.dat", data);
  NullProgress progress;
  PackSingleFile(job, progress);

  ExtractFailure failure;
  {
    PackageImage package;
    ASSERT_TRUE(package.Open(job.OutputPath.c_str(), failure));
    const onefile::Header& header = package.Header();
    EXPECT_EQ(header.Version, onefile::kFormatVersion);
    // The first member, the 40 among text, and the last.
    ASSERT_EQ(header.MovedCount, 42u);
    uint64_t moved = 3000 + 2000;
    for (unsigned i = 0; i < 40; ++i) moved += 1000 + i * 50;
    ASSERT_EQ(header.StoredCount, 1u);
    EXPECT_EQ(header.Stored[0].Offset, header.UnpackedSize - moved);
    EXPECT_EQ(header.Stored[0].Size, moved);
    {
      const std::wstring folder = dir / L"whole";
      CreateDirectoryW(folder.c_str(), nullptr);
      Observer observer;
      HeldFiles held;
      ASSERT_TRUE(package.ExtractTo(folder.c_str(), observer, failure, held));
      EXPECT_EQ(held.Count(), 3u);
      EXPECT_TRUE(ReadFileBytes(folder + L"\\data.dat") == data);
      EXPECT_TRUE(ReadFileBytes(folder + L"\\empty.txt").empty());
      EXPECT_EQ(observer.last, header.UnpackedSize);
    }
    ExpectUnpacksAndRefusesDamage(dir, package, job.OutputPath, 1500);
  }

  // Without the members' sizes nothing moves, and the file is as before.
  job.Files[2].Parts.clear();
  PackSingleFile(job, progress);
  PackageImage unmoved;
  ASSERT_TRUE(unmoved.Open(job.OutputPath.c_str(), failure));
  EXPECT_EQ(unmoved.Header().MovedCount, 0u);
  EXPECT_EQ(unmoved.Header().StoredCount, 0u);
}

// Stored pieces are read ahead while the blocks before them compress; the
// one that finds too little room left goes through after the blocks before it.
// The bytes are those of one thread, which reads nothing ahead, and unpack.
TEST(PackageImageBlocks, StoredPiecesReadAheadKeepTheBytesOfOneThread) {
  TempDir dir;
  CreateDirectoryW((dir / L"unpacked").c_str(), nullptr);
  WritePatternFile(dir / L"sfx.dat", 4096, 1);
  const std::string text = NumberedLines(90000);
  WriteTextFile(dir / L"Setup.exe", text);
  std::string data = text;
  for (const uint32_t media : {5u << 20, 9u << 20, 6u << 20}) {
    WritePatternFile(dir / L"media.bin", media, media >> 20);
    data += ReadFileBytes(dir / L"media.bin") + text.substr(0, 700000);
  }
  WriteTextFile(dir / L"data.dat", data);
  SingleFileJob job = JobOver(dir, {L"Setup.exe", L"data.dat"});
  job.Settings.BlockSize = 2u << 20;
  job.Settings.StoredReadAhead = 8u << 20;
  NullProgress progress;
  std::vector<std::string> outputs;
  for (int threads : {1, 2, 3}) {
    job.Settings.Threads = threads;
    PackSingleFile(job, progress);
    outputs.push_back(ReadFileBytes(job.OutputPath));
  }
  EXPECT_TRUE(outputs[1] == outputs[0]);
  EXPECT_TRUE(outputs[2] == outputs[0]);

  PackageImage package;
  ExtractFailure failure;
  ASSERT_TRUE(package.Open(job.OutputPath.c_str(), failure));
  ASSERT_EQ(package.Header().StoredCount, 3u);
  ExpectUnpacksAndRefusesDamage(dir, package, job.OutputPath, package.Header().StreamSize / 5);
}

// A block reaches back into the blocks before it: a second copy of
// incompressible bytes in the next block costs next to nothing.
TEST(PackageImageBlocks, LaterBlocksGoOnFromTheDictionaryBeforeThem) {
  TempDir dir;
  CreateDirectoryW((dir / L"unpacked").c_str(), nullptr);
  WritePatternFile(dir / L"sfx.dat", 4096, 1);
  std::string noise(1u << 20, '\0');
  uint32_t state = 12345;
  for (char& byte : noise) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 24);
  }
  WriteTextFile(dir / L"Setup.exe", "launcher");
  WriteTextFile(dir / L"data.dat", noise + noise + noise + noise);
  SingleFileJob job = JobOver(dir, {L"Setup.exe", L"data.dat"});
  job.Settings.BlockSize = onefile::kMinBlockSize;
  NullProgress progress;
  const SingleFileResult result = PackSingleFile(job, progress);

  PackageImage package;
  ExtractFailure failure;
  ASSERT_TRUE(package.Open(job.OutputPath.c_str(), failure));
  EXPECT_EQ(package.Header().Version, onefile::kFormatVersion);
  EXPECT_EQ(package.Header().BlockSize,
            onefile::kMinBlockSize);  // five blocks, the last of 8 bytes
  EXPECT_LT(result.StreamSize, noise.size() + noise.size() / 10);
  Observer observer;
  HeldFiles held;
  ASSERT_TRUE(package.ExtractTo((dir / L"unpacked").c_str(), observer, failure, held))
      << static_cast<int>(failure.Status);
  EXPECT_TRUE(ReadFileBytes(dir / L"unpacked\\data.dat") == ReadFileBytes(dir / L"data.dat"));
}
