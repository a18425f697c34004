// onefile_benchmark: the Windows half of benchmarks/onefile/run.sh.
//   package mixed <folder> <launcher image> <folder of programs>
//       ~130 files, ~60 MB: text-like, already compressed (random) and
//       executable (the programs found in the last folder, whole)
//   package small <folder> <launcher image>   20,000 small files, text and random
//   package real <folder> <launcher image> <folder of programs>
//       every file of the last folder (run.sh puts stripped Wine DLLs there)
//   package empty <folder> <launcher image>   the default project, no files
//       Each writes the package as the build run leaves it: Setup.ini (through
//       the script writer), data.dat and the launcher named Setup.exe.
//   pack <sfx.dat> <package folder> <output>  the built-in packer; prints seconds
//   decode <single file>                      unpacks the stream into nothing;
//                                             prints seconds
//   layouts <folder>                          the code layouts compared on the
//                                             folder's files (FilterLayouts.h)
// Numbers are printed as "key=value" lines for the script.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FilterLayouts.h"
#include "FolderFiles.h"
#include "designer/SingleFilePacker.h"
#include "designer/SingleFileStep.h"
#include "formats/Payload.h"
#include "formats/ScriptKeys.h"
#include "formats/SetupScriptWriter.h"
#include "formats/SingleFileFormat.h"
#include "sfx/BlockStream.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/Strings.h"

namespace {
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of this process so far (user and kernel): on a shared machine
// it says more about the packer's work than the wall clock.
double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& time) {
    return static_cast<double>(static_cast<uint64_t>(time.dwHighDateTime) << 32 |
                               time.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

// Pseudo-words from Latin and Cyrillic syllables (Windows-1251), in lines of
// prose and of code: text that LZMA shrinks about four times, as real text.
class TextMaker {
 public:
  explicit TextMaker(std::mt19937& random) : random_(random) {
    const char* latin[] = {"ka",  "ro",  "te",  "in", "st",   "al",   "me",  "on",  "ex", "pro",
                           "ver", "ion", "set", "up", "data", "file", "win", "dow", "ct"};
    const char* cyrillic[] = {"\xEF\xF0\xEE", "\xE3\xF0\xE0", "\xEC\xEC\xE0", "\xF3\xF1",
                              "\xF2\xE0",     "\xED\xEE",     "\xE2\xEA\xE0", "\xF0\xE5",
                              "\xE4\xE8",     "\xEB\xEE\xE2", "\xF1\xF2\xE2", "\xEA\xEE"};
    for (int i = 0; i < 1500; ++i) {
      std::string word;
      const int syllables = 1 + static_cast<int>(random_() % 4);
      const bool russian = random_() % 3 == 0;
      for (int s = 0; s < syllables; ++s)
        word += russian ? cyrillic[random_() % std::size(cyrillic)]
                        : latin[random_() % std::size(latin)];
      words_.push_back(word);
    }
  }
  void Append(std::string& out, size_t size) {
    std::geometric_distribution<int> pick(0.01);  // a few words are common, most rare
    while (out.size() < size) {
      const bool code = random_() % 4 == 0;
      if (code)
        out +=
            "    " + Word(pick) + "(" + Word(pick) + ", " + std::to_string(random_() % 1000) + ");";
      else
        for (int n = 5 + static_cast<int>(random_() % 12); n > 0; --n) out += Word(pick) + ' ';
      out += "\r\n";
    }
    out.resize(size);
  }

 private:
  const std::string& Word(std::geometric_distribution<int>& pick) {
    return words_[std::min<size_t>(static_cast<size_t>(pick(random_)), words_.size() - 1)];
  }
  std::mt19937& random_;
  std::vector<std::string> words_;
};

void AppendRandom(std::string& out, size_t size, std::mt19937& random) {
  const size_t start = out.size();
  out.resize(start + size);
  for (size_t i = start; i < out.size(); ++i) out[i] = static_cast<char>(random() >> 13);
}

std::vector<std::wstring> ProgramsIn(const std::wstring& folder) {
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW entry;
  FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (!find)
    return found;
  do {
    const std::wstring name = entry.cFileName;
    // Links are not followed: a Wine prefix links its drive Z: to the whole disk.
    if (name == L"." || name == L".." || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      for (std::wstring& inner : ProgramsIn(folder + L"\\" + name))
        found.push_back(std::move(inner));
    } else if (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".exe") == 0) {
      found.push_back(folder + L"\\" + name);
    }
  } while (FindNextFileW(find.Get(), &entry));
  std::sort(found.begin(), found.end());
  return found;
}

// Writes data.dat from the generated pieces and the script that describes them.
class PackageWriter {
 public:
  // An empty package keeps the default project's script as the designer writes it.
  PackageWriter(const std::wstring& folder, const std::wstring& launcher, bool empty)
      : folder_(WithoutTrailingBackslash(folder)),
        payload_((ForceFolder(folder_), BinaryFile::Create(folder_ + L"\\data.dat"))) {
    if (!empty) {
      project_.ProgramName = L"Бенчмарк";
      // BENCH_INSTALL_PATH: where the setup program installs (best on tmpfs).
      const wchar_t* target = _wgetenv(L"BENCH_INSTALL_PATH");
      project_.InstallPath = target ? target : L"C:\\KovrinBench";
    }
    CopyBuffer buffer;
    BinaryFile source = BinaryFile::OpenRead(launcher);
    BinaryFile target = BinaryFile::Create(folder_ + L"\\Setup.exe");
    CopyChunked(source, target, source.Size(), buffer, kLauncherBlock);
  }
  void Add(const std::wstring& name, const std::string& bytes) {
    payload_.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    project_.Files.push_back({name, L"", static_cast<int64_t>(bytes.size())});
    total_ += bytes.size();
  }
  void Finish() {
    payload_.Close();
    NullProgress progress;
    WriteSetupScript(project_, folder_ + L"\\Setup.ini", progress);
    std::printf("files=%zu\nbytes=%llu\n", project_.Files.size(),
                static_cast<unsigned long long>(total_));
  }

 private:
  std::wstring folder_;
  BinaryFile payload_;
  SetupProject project_;
  uint64_t total_ = 0;
};

void MakeMixed(PackageWriter& package, const std::wstring& programs) {
  std::mt19937 random(2024);
  TextMaker text(random);
  std::string bytes;
  for (int i = 0; i < 93; ++i) {  // ~22 MB of text
    bytes.clear();
    text.Append(bytes, 20000 + random() % 430000);
    package.Add(L"doc\\text" + IntToText(i) + L".txt", bytes);
  }
  for (int i = 0; i < 30; ++i) {  // ~20 MB as already compressed media
    bytes.clear();
    AppendRandom(bytes, 150000 + random() % 1200000, random);
    package.Add(L"media\\clip" + IntToText(i) + L".bin", bytes);
  }
  uint64_t programBytes = 0;  // ~20 MB of real programs
  int count = 0;
  for (const std::wstring& path : ProgramsIn(programs)) {
    if (programBytes > 20000000 || count == 40)
      break;
    bytes = ReadWholeFile(path);
    if (bytes.size() > 6000000)
      continue;
    programBytes += bytes.size();
    package.Add(L"bin\\program" + IntToText(count++) + L".exe", bytes);
  }
}

// Every file of a folder (no subfolders), in name order: programs that no one
// here wrote, as run.sh selects and strips them.
void MakeReal(PackageWriter& package, const std::wstring& folder) {
  for (const std::wstring& name : FilesIn(folder))
    package.Add(L"bin\\" + name, ReadWholeFile(folder + L"\\" + name));
}

void MakeSmall(PackageWriter& package) {
  std::mt19937 random(7);
  TextMaker text(random);
  std::string bytes;
  for (int i = 0; i < 20000; ++i) {
    bytes.clear();
    const size_t size = 200 + random() % 1800;
    if (i % 4 == 3)
      AppendRandom(bytes, size, random);
    else
      text.Append(bytes, size);
    package.Add(L"folder" + IntToText(i / 200) + L"\\file" + IntToText(i) + L".txt", bytes);
  }
}

int Pack(const std::wstring& stub, const std::wstring& folder, const std::wstring& output) {
  SingleFileJob job;
  job.StubPath = stub;
  job.OutputPath = output;
  job.LauncherName = L"Setup.exe";
  for (const wchar_t* name : {L"Setup.exe", L"data.dat", L"Setup.ini"})
    job.Files.push_back({folder + L"\\" + name, name, {}});
  // As the designer's build does; BENCH_MOVE=0 keeps every member in place.
  if (!std::getenv("BENCH_MOVE") || std::atoi(std::getenv("BENCH_MOVE")) != 0)
    job.Files[1].Parts = PayloadParts(folder + L"\\Setup.ini");
  // BENCH_FB, BENCH_MC, BENCH_LC, BENCH_PB, BENCH_BT, BENCH_DICT_MB, BENCH_LEVEL,
  // BENCH_BLOCK_MB, BENCH_THREADS, BENCH_FILTER and BENCH_MOVE (0 or 1) try other settings;
  // without them the packer's own apply.
  auto setting = [](const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value ? std::atoi(value) : fallback;
  };
  LzmaSettings& settings = job.Settings;
  settings.FastBytes = setting("BENCH_FB", settings.FastBytes);
  settings.LiteralContextBits = setting("BENCH_LC", settings.LiteralContextBits);
  settings.PositionBits = setting("BENCH_PB", settings.PositionBits);
  settings.Level = setting("BENCH_LEVEL", settings.Level);
  settings.MatchCycles =
      static_cast<uint32_t>(setting("BENCH_MC", static_cast<int>(settings.MatchCycles)));
  settings.BinaryTree = setting("BENCH_BT", settings.BinaryTree ? 1 : 0) != 0;
  settings.MaxDictionarySize = static_cast<uint32_t>(
      setting("BENCH_DICT_MB", static_cast<int>(settings.MaxDictionarySize >> 20)) << 20);
  settings.BlockSize = static_cast<uint32_t>(
      setting("BENCH_BLOCK_MB", static_cast<int>(settings.BlockSize >> 20)) << 20);
  settings.Threads = setting("BENCH_THREADS", settings.Threads);
  settings.BranchFilter = setting("BENCH_FILTER", settings.BranchFilter ? 1 : 0) != 0;
  NullProgress progress;
  const auto start = Clock::now();
  const SingleFileResult result = PackSingleFile(job, progress);
  std::printf("pack_seconds=%.3f\npack_cpu_seconds=%.3f\nsize=%llu\n", Seconds(start), CpuSeconds(),
              static_cast<unsigned long long>(result.OutputSize));
  return 0;
}

int Decode(const std::wstring& path) {
  const auto start = Clock::now();
  BinaryFile file = BinaryFile::OpenRead(path);
  const uint64_t size = static_cast<uint64_t>(file.Size());
  uint8_t trailerBytes[onefile::kTrailerSize];
  file.Seek(static_cast<int64_t>(size - onefile::kTrailerSize));
  file.ReadExact(trailerBytes, onefile::kTrailerSize);
  onefile::Trailer trailer;
  auto header = std::make_unique<onefile::Header>();
  std::vector<uint8_t> headerBytes(onefile::kMaxHeaderSize);
  if (onefile::ReadTrailer(trailerBytes, size, trailer) != onefile::FormatError::None)
    throw KovrinError(L"not a single file");
  file.Seek(static_cast<int64_t>(trailer.HeaderOffset));
  file.ReadExact(headerBytes.data(), trailer.HeaderSize);
  if (onefile::ReadHeader(headerBytes.data(), trailer, size, *header) != onefile::FormatError::None)
    throw KovrinError(L"damaged header");

  // The self-extractor's own decoding, into nothing.
  FileHandle raw(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(onefile::StreamOffset(trailer));
  if (!raw || !SetFilePointerEx(raw.Get(), at, nullptr, FILE_BEGIN))
    throw KovrinError(L"cannot read the single file");
  std::vector<uint8_t> in(kStreamInputBlock), out(kStreamOutputBlock),
      scratch(onefile::kMaxSplitChunk);
  BlockStream stream(raw.Get(), *header, in.data(), out.data(), scratch.data());
  if (stream.Allocate() != SZ_OK)
    throw KovrinError(L"no memory for the dictionary");
  uint64_t produced = 0;
  while (produced < header->UnpackedSize) {
    const uint8_t* data = nullptr;
    size_t piece = 0;
    if (!stream.Next(header->UnpackedSize - produced, data, piece))
      throw KovrinError(L"damaged stream");
    produced += piece;
  }
  if (!stream.Finish())
    throw KovrinError(L"damaged stream end");
  std::printf("decode_seconds=%.3f\nunpacked=%llu\n", Seconds(start),
              static_cast<unsigned long long>(produced));
  return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"package" && argc >= 5) {
      const std::wstring kind = argv[2];
      PackageWriter package(argv[3], argv[4], kind == L"empty");
      if (kind == L"mixed" && argc >= 6)
        MakeMixed(package, argv[5]);
      else if (kind == L"small")
        MakeSmall(package);
      else if (kind == L"real" && argc >= 6)
        MakeReal(package, argv[5]);
      else if (kind != L"empty")
        return 2;
      package.Finish();
      return 0;
    }
    if (command == L"pack" && argc >= 5)
      return Pack(argv[2], WithoutTrailingBackslash(argv[3]), argv[4]);
    if (command == L"decode" && argc >= 3)
      return Decode(argv[2]);
    if (command == L"layouts" && argc >= 3)
      return CompareFilterLayouts(WithoutTrailingBackslash(argv[2]));
  } catch (const KovrinError& error) {
    std::fprintf(stderr, "onefile_benchmark: %s\n", error.what());
    return 1;
  }
  std::fputs("usage: see the comment at the top of benchmarks/onefile/main.cpp\n", stderr);
  return 2;
}
