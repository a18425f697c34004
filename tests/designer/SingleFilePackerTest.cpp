#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "BuildFixture.h"
#include "LzmaDec.h"
#include "designer/SingleFilePacker.h"
#include "designer/SingleFileStep.h"
#include "formats/SingleFileFormat.h"
#include "formats/SplitRangeFilter.h"
#include "sfx/PackageImage.h"
#include "support/Crc32.h"
#include "support/Error.h"

namespace {
using Names = std::vector<std::wstring>;

void* TestAlloc(void*, size_t size) {
  return std::malloc(size);
}
void TestFree(void*, void* address) {
  std::free(address);
}
ISzAlloc kTestAllocator = {TestAlloc, TestFree};

// A packed program taken apart: what came before the header, the header, and
// the stream unpacked in one piece.
struct Unpacked {
  std::string stub;
  onefile::Header header;
  std::string payload;
};

// The header of a packed program, read as the extractor reads it.
onefile::Header HeaderOf(const std::string& file, onefile::Trailer& trailer) {
  onefile::Header header;
  uint8_t trailerBytes[onefile::kTrailerSize];
  EXPECT_GE(file.size(), onefile::kTrailerSize);
  std::memcpy(trailerBytes, file.data() + file.size() - onefile::kTrailerSize,
              onefile::kTrailerSize);
  EXPECT_EQ(onefile::ReadTrailer(trailerBytes, file.size(), trailer), onefile::FormatError::None);
  const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
  EXPECT_EQ(onefile::ReadHeader(bytes + trailer.HeaderOffset, trailer, file.size(), header),
            onefile::FormatError::None);
  return header;
}

// A program of one block taken apart.
Unpacked TakeApart(const std::wstring& path) {
  const std::string file = ReadFileBytes(path);
  Unpacked result;
  onefile::Trailer trailer;
  result.header = HeaderOf(file, trailer);
  const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
  result.stub = file.substr(0, trailer.HeaderOffset);
  const uint8_t* stream = bytes + onefile::StreamOffset(trailer);
  EXPECT_EQ(Crc32(stream, result.header.StreamSize), result.header.StreamCrc);

  result.payload.resize(result.header.UnpackedSize);
  SizeT produced = result.payload.size();
  SizeT consumed = result.header.StreamSize;
  ELzmaStatus status;
  EXPECT_EQ(LzmaDecode(reinterpret_cast<uint8_t*>(result.payload.data()), &produced, stream,
                       &consumed, result.header.LzmaProps, onefile::kLzmaPropsSize, LZMA_FINISH_END,
                       &status, &kTestAllocator),
            SZ_OK);
  EXPECT_EQ(produced, result.header.UnpackedSize);
  EXPECT_EQ(consumed, result.header.StreamSize);  // the end mark is the stream's last byte
  EXPECT_EQ(status, LZMA_STATUS_FINISHED_WITH_MARK);
  return result;
}

class NoExtractObserver final : public ExtractObserver {
 public:
  void Progress(uint64_t, uint64_t) override {}
  bool Cancelled() override { return false; }
};

class RecordingProgress : public ProgressSink {
 public:
  void SetPosition(int position) override { positions.push_back(position); }
  void Pump() override { ++pumps; }
  bool Cancelled() override {
    return cancelAfterPositions >= 0 && static_cast<int>(positions.size()) > cancelAfterPositions;
  }

  std::vector<int> positions;
  int pumps = 0;
  int cancelAfterPositions = -1;
};

class SingleFilePacker : public ::testing::Test {
 protected:
  SingleFilePacker() {
    WritePatternFile(dir / L"sfx.dat", 30000, 5);
    job.StubPath = dir / L"sfx.dat";
    job.OutputPath = dir / L"out\\Установка.exe";
    job.LauncherName = L"Установка.exe";
    CreateDirectoryW((dir / L"out").c_str(), nullptr);
    AddFile(L"Установка.exe", 300000, 1);
    AddFile(L"Setup.ini", 0, 2);
    AddFile(L"data.dat", 1000001, 3);
  }
  void AddFile(const std::wstring& name, int64_t size, unsigned seed) {
    WritePatternFile(dir / (L"src-" + name), size, seed);
    job.Files.push_back({dir / (L"src-" + name), name});
  }
  std::string Concatenation() const {
    std::string bytes;
    for (const PackedFile& file : job.Files) bytes += ReadFileBytes(file.SourcePath);
    return bytes;
  }

  TempDir dir;
  SingleFileJob job;
  RecordingProgress progress;
};
}  // namespace

TEST_F(SingleFilePacker, WritesStubHeaderAndOneStreamOfAllFiles) {
  const SingleFileResult result = PackSingleFile(job, progress);
  EXPECT_EQ(FilesIn(dir / L"out"), Names{L"Установка.exe"});  // no temporary file left
  EXPECT_EQ(static_cast<int64_t>(result.OutputSize), GetFileSize64(job.OutputPath));
  EXPECT_EQ(result.UnpackedSize, 1300001u);

  const Unpacked packed = TakeApart(job.OutputPath);
  EXPECT_EQ(packed.stub, ReadFileBytes(job.StubPath));
  EXPECT_EQ(packed.payload, Concatenation());
  ASSERT_EQ(packed.header.FileCount, 3u);
  EXPECT_EQ(packed.header.LauncherIndex, 0u);
  EXPECT_EQ(packed.header.StreamSize, result.StreamSize);
  for (size_t i = 0; i < 3; ++i) {
    const std::string bytes = ReadFileBytes(job.Files[i].SourcePath);
    EXPECT_EQ(std::wstring(packed.header.Files[i].Name), job.Files[i].Name);
    EXPECT_EQ(packed.header.Files[i].Size, bytes.size());
    EXPECT_EQ(packed.header.Files[i].Crc, Crc32(bytes.data(), bytes.size()));
  }
  // The dictionary is no larger than the input needs (the encoder's 2^n or 3*2^n).
  EXPECT_EQ(onefile::DictionarySize(packed.header.LzmaProps), 3u << 19);
}

TEST_F(SingleFilePacker, TheDictionaryStopsAtItsLimitForALargerInput) {
  job.Settings.MaxDictionarySize = 1u << 20;  // the input is 1.3 MB
  PackSingleFile(job, progress);
  const Unpacked packed = TakeApart(job.OutputPath);
  EXPECT_EQ(onefile::DictionarySize(packed.header.LzmaProps), 1u << 20);
  EXPECT_EQ(packed.payload, Concatenation());
}

TEST_F(SingleFilePacker, ProgressRunsByInputToOneHundred) {
  PackSingleFile(job, progress);
  ASSERT_GE(progress.positions.size(), 3u);
  EXPECT_EQ(progress.positions.front(), 0);
  EXPECT_EQ(progress.positions.back(), 100);
  EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
  EXPECT_GT(progress.pumps, 0);
}

TEST_F(SingleFilePacker, LauncherNeedNotComeFirst) {
  job.LauncherName = L"data.dat";
  PackSingleFile(job, progress);
  EXPECT_EQ(TakeApart(job.OutputPath).header.LauncherIndex, 2u);
}

TEST_F(SingleFilePacker, CancelLeavesThePreviousProgramWhole) {
  WriteTextFile(job.OutputPath, "the program of an earlier build");
  progress.cancelAfterPositions = 2;
  try {
    PackSingleFile(job, progress);
    ADD_FAILURE() << "the packer went on after the cancel";
  } catch (const OperationCancelled& stopped) {
    EXPECT_EQ(stopped.Message(), kBuildCancelledText);
  }
  EXPECT_TRUE(ReadFileBytes(job.OutputPath) == "the program of an earlier build");
  EXPECT_EQ(FilesIn(dir / L"out"), Names{L"Установка.exe"});
}

TEST_F(SingleFilePacker, FailuresLeaveThePreviousProgramWholeAndNoTemporaryFile) {
  WriteTextFile(job.OutputPath, "earlier");
  SingleFileJob missingSource = job;
  missingSource.Files[2].SourcePath = dir / L"no such file";
  EXPECT_THROW(PackSingleFile(missingSource, progress), KovrinError);

  SingleFileJob missingStub = job;
  missingStub.StubPath = dir / L"no sfx.dat";
  EXPECT_THROW(PackSingleFile(missingStub, progress), KovrinError);

  EXPECT_TRUE(ReadFileBytes(job.OutputPath) == "earlier");
  EXPECT_EQ(FilesIn(dir / L"out"), Names{L"Установка.exe"});
}

TEST_F(SingleFilePacker, RefusesNamesTheExtractorWouldRefuse) {
  for (const wchar_t* bad : {L"..", L"sub\\Setup.exe", L"CON", L"Setup.exe."}) {
    SingleFileJob named = job;
    named.Files[0].Name = bad;
    named.LauncherName = bad;
    EXPECT_THROW(PackSingleFile(named, progress), KovrinError) << Narrow(bad);
  }
  SingleFileJob twice = job;
  twice.Files[1].Name = L"DATA.DAT";
  EXPECT_THROW(PackSingleFile(twice, progress), KovrinError);
  SingleFileJob noLauncher = job;
  noLauncher.LauncherName = L"Other.exe";
  EXPECT_THROW(PackSingleFile(noLauncher, progress), KovrinError);
  EXPECT_TRUE(FilesIn(dir / L"out").empty());
}

TEST(SingleFileStep, PacksThePackageOfTheBuildFolderUnderTheSetupFileName) {
  BuildFixture fx;
  WritePatternFile(fx.designer + L"sfx.dat", 20000, 9);
  CreateDirectoryW((fx.root / L"temp").c_str(), nullptr);
  CreateDirectoryW(fx.build.c_str(), nullptr);
  CreateDirectoryW(fx.output.c_str(), nullptr);
  SetupProject project;
  project.OutputFolder = fx.output;
  project.SetupFileName = L"Install.exe";
  project.UseLicense = true;
  project.UseUninstall = true;
  for (const wchar_t* name :
       {L"Install.exe", L"data.dat", L"Setup.ini", L"Setup.dat", L"uninst.dat"})
    WriteTextFile(fx.build + L"\\" + name, Narrow(name) + " bytes");

  RecordingObserver observer;
  const BuildFolders folders = fx.Folders();  // the context keeps a reference
  BuildContext context(project, folders, observer);
  BuildSingleFile(context);

  EXPECT_EQ(FilesIn(fx.output), Names{L"Install.exe"});
  const Unpacked packed = TakeApart(fx.output + L"\\Install.exe");
  ASSERT_EQ(packed.header.FileCount, 5u);
  Names names;
  for (uint32_t i = 0; i < packed.header.FileCount; ++i)
    names.push_back(packed.header.Files[i].Name);
  EXPECT_EQ(names, (Names{L"Install.exe", L"data.dat", L"Setup.ini", L"setup.dat", L"uninst.dat"}));
  EXPECT_EQ(packed.payload,
            "Install.exe bytesdata.dat bytesSetup.ini bytesSetup.dat bytesuninst.dat bytes");
  EXPECT_EQ(observer.Statuses(), Names{kSingleFileStatus});

  // The step's own checkpoint passes; the packer's first look at the cancel stops it.
  observer.cancelAtPoll = observer.polls + 2;
  WriteTextFile(fx.output + L"\\Install.exe", "earlier");
  EXPECT_THROW(BuildSingleFile(context), OperationCancelled);
  EXPECT_TRUE(ReadFileBytes(fx.output + L"\\Install.exe") == "earlier");
}

// A whole build run with the built-in packer: the output folder gets the one
// program, and what it carries is byte for byte the separate package.
TEST(SingleFileBuildRun, OutputHoldsOneProgramCarryingTheSeparatePackage) {
  BuildFixture fx;
  WritePatternFile(fx.designer + L"sfx.dat", 20000, 9);
  SetupProject separate = ExampleProjectIn(fx);
  separate.UseWinRar = false;
  SetupProject single = separate;
  single.UseBuiltInPacker = true;
  single.OutputFolder = fx.output + L"-one";

  RecordingObserver separateObserver, singleObserver;
  ASSERT_EQ(RunBuild(separate, fx.Folders(), separateObserver).Outcome, BuildOutcome::Done);
  const BuildResult result = RunBuild(single, fx.Folders(), singleObserver);
  ASSERT_EQ(result.Outcome, BuildOutcome::Done) << Narrow(result.Message);

  EXPECT_EQ(FilesIn(single.OutputFolder), Names{L"Setup.exe"});
  EXPECT_TRUE(FilesIn(fx.build).empty());
  // Unpacked as the self-extractor does: data.dat's random members (the
  // example's programs are pattern files) travel at the stream's end.
  PackageImage image;
  ExtractFailure failure;
  ASSERT_TRUE(image.Open((single.OutputFolder + L"\\Setup.exe").c_str(), failure));
  EXPECT_GT(image.Header().MovedCount, 0u);
  const std::wstring unpacked = fx.output + L"-unpacked";
  CreateDirectoryW(unpacked.c_str(), nullptr);
  NoExtractObserver observer;
  HeldFiles held;
  ASSERT_TRUE(image.ExtractTo(unpacked.c_str(), observer, failure, held));
  held.Close();
  EXPECT_EQ(FilesIn(unpacked), FilesIn(fx.output));
  for (const std::wstring& name : FilesIn(fx.output))
    EXPECT_TRUE(ReadFileBytes(unpacked + L"\\" + name) == ReadFileBytes(fx.output + L"\\" + name))
        << Narrow(name);
  EXPECT_EQ(singleObserver.StageTrace(), "B1 E1 B2 E2 B3 E3 B4 E4");
  EXPECT_EQ(singleObserver.Statuses().back(), L"Создание завершено");
}

TEST_F(SingleFilePacker, ProgramImagesGoFirstAndOnlyTheirCodeIsFiltered) {
  WriteProgramImage(dir / L"src-uninst.dat", 200000, 7);
  WriteProgramImage(dir / L"src-tool.dll", 100000, 8);
  job.Files.push_back({dir / L"src-uninst.dat", L"uninst.dat"});
  job.Files.push_back({dir / L"src-tool.dll", L"tool.dll"});
  PackSingleFile(job, progress);
  const Unpacked packed = TakeApart(job.OutputPath);
  ASSERT_EQ(packed.header.FileCount, 5u);
  EXPECT_EQ(std::wstring(packed.header.Files[0].Name), L"uninst.dat");
  EXPECT_EQ(std::wstring(packed.header.Files[1].Name), L"tool.dll");
  EXPECT_EQ(std::wstring(packed.header.Files[2].Name), L"Установка.exe");  // the others in order
  EXPECT_EQ(std::wstring(packed.header.Files[4].Name), L"data.dat");
  EXPECT_EQ(packed.header.LauncherIndex, 2u);
  // Each image's code section is a range of its own, though the images abut:
  // the filter starts afresh in each.
  ASSERT_EQ(packed.header.RangeCount, 2u);
  EXPECT_EQ(packed.header.Ranges[0].Offset, 0x400u);
  EXPECT_EQ(packed.header.Ranges[0].Size, 200000u - 0x400);
  EXPECT_EQ(packed.header.Ranges[1].Offset, 200000u + 0x400);
  EXPECT_EQ(packed.header.Ranges[1].Size, 100000u - 0x400);
  // The stream holds the images filtered and every other byte as it was.
  const std::string images =
      ReadFileBytes(dir / L"src-uninst.dat") + ReadFileBytes(dir / L"src-tool.dll");
  EXPECT_EQ(packed.payload.substr(0, 0x400), images.substr(0, 0x400));  // headers hold no calls
  EXPECT_EQ(packed.payload.substr(200000, 0x400), images.substr(200000, 0x400));
  EXPECT_NE(packed.payload.substr(0, 200000), images.substr(0, 200000));
  std::string tool = images.substr(200000);  // filtered as if it were packed alone
  const onefile::FilterRange code{0x400, tool.size() - 0x400};
  std::vector<uint8_t> scratch(onefile::kMaxSplitChunk);
  onefile::OperandSplitter(&code, 1, scratch.data())
      .Run(reinterpret_cast<uint8_t*>(tool.data()), tool.size(), 0);
  EXPECT_NE(tool, images.substr(200000));
  EXPECT_TRUE(packed.payload.substr(200000, 100000) == tool);
  job.Files.resize(job.Files.size() - 2);
  EXPECT_TRUE(packed.payload.substr(images.size()) == Concatenation());
}

// The blocks' size follows from the package's size alone: an even count of
// them from 4 MB, within the largest size, the last one smaller by about 70%
// of the bytes that each later block's encoder takes in before it (half the
// dictionary, or a whole block where that is less).
TEST_F(SingleFilePacker, CutsAnEvenNumberOfBlocksTheLastSmaller) {
  AddFile(L"big.dat", 5000000, 9);
  job.Settings.StoreIncompressible = false;  // blocks count coded bytes: here all of them
  const uint64_t total = 300000 + 1000001 + 5000000;
  onefile::Trailer trailer;
  for (const auto& [largest, count] : {std::pair{32u << 20, 2u}, std::pair{2u << 20, 4u}}) {
    job.Settings.BlockSize = largest;
    PackSingleFile(job, progress);
    const onefile::Header header = HeaderOf(ReadFileBytes(job.OutputPath), trailer);
    const uint64_t size = header.BlockSize;
    EXPECT_LE(size, largest);
    ASSERT_LT(size * (count - 1), total) << count;
    const uint64_t last = total - size * (count - 1);
    EXPECT_LE(last, size) << count;
    const uint64_t pass =
        std::min<uint64_t>(total / count, onefile::DictionarySize(header.LzmaProps) / 2) * 7 / 10;
    EXPECT_GE(size - last + count * (64u << 10), pass) << count;  // sizes are whole 64 KiB
    EXPECT_LE(size - last, pass + count * (64u << 10)) << count;
  }
}

TEST_F(SingleFilePacker, ThreadsAndRunsDoNotChangeTheBytes) {
  WriteProgramImage(dir / L"src-program.exe", 2500000, 8);
  job.Files.push_back({dir / L"src-program.exe", L"program.exe"});
  job.Settings.BlockSize = onefile::kMinBlockSize;  // four blocks
  std::vector<std::string> outputs;
  for (int threads : {1, 2, 3, 2}) {
    job.Settings.Threads = threads;
    PackSingleFile(job, progress);
    outputs.push_back(ReadFileBytes(job.OutputPath));
  }
  for (size_t i = 1; i < outputs.size(); ++i) EXPECT_TRUE(outputs[i] == outputs[0]) << "run " << i;
  job.Settings.BlockSize = 16u << 20;  // one block: another stream
  PackSingleFile(job, progress);
  EXPECT_FALSE(ReadFileBytes(job.OutputPath) == outputs[0]);
}
