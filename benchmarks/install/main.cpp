// install_benchmark <work folder> [runs] [--no-pump]
// Writes two packages into the work folder: about 1 GB in four large files, and
// 20,000 small files in 100 folders. Each is installed through RunInstall and
// split by a plain loop (create the folder, the file, copy blocks of 1,000,000
// bytes) in rotating runs: the plain split alone, the plain split computing the
// same CRC-32 as the engine (the floor on a memory-speed file system, goal 1.05),
// and the plain split opening its files with the engine's flags (the floor on a
// disk, goal 1.1). The median times, throughputs and ratios are printed, with the
// best runs' and the median of each run's own ratio beside them (a multiple of 5
// runs puts each side in each place equally often). --no-pump leaves out the
// message-queue look that the window's pump costs; BENCH_SMALL_ONLY=1 in the
// environment skips the large package, BENCH_LARGE_ONLY=1 the small one. The
// engine installs each package twice per run: with a FileCrc<n> for every file
// (each checked as it is copied) and with a script of an older package that has
// none, so the checksum's cost shows.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Scratch.h"
#include "formats/CrcText.h"
#include "formats/Payload.h"
#include "formats/ScriptKeys.h"
#include "setup/InstallEngine.h"
#include "setup/SetupState.h"
#include "support/Crc32.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/ProfileFile.h"
#include "support/Strings.h"
#include "win/MessagePump.h"

namespace {
bool g_pump = true;

// Install events that nobody shows, with what the window's pump costs: one look
// at an empty queue per block.
class PumpingEvents final : public InstallEvents {
 public:
  void Pump() override {
    if (g_pump)
      pump_.Run();
  }

 private:
  MessagePump pump_;
};

struct PackageFile {
  std::wstring Name;
  int64_t Size;
};

struct Package {
  std::wstring Folder;  // with trailing "\"
  std::vector<PackageFile> Files;
  int64_t Bytes = 0;
  std::wstring Checked, Unchecked;  // scripts with and without FileCrc<n>
};

// Writes Setup.ini and data.dat; the payload is generated block by block.
Package WritePackage(const std::wstring& folder, std::vector<PackageFile> files) {
  ForceFolder(folder);
  Package package{WithTrailingBackslash(folder), std::move(files)};
  ProfileFile script;
  script.WriteString(script::kMain, script::kProgramName, L"Benchmark");
  script.WriteString(script::kOneData, script::kCountOfFiles,
                     IntToText(static_cast<int32_t>(package.Files.size())));
  BinaryFile payload = BinaryFile::Create(package.Folder + script::kPayloadFile);
  std::vector<char> block(kPayloadBlock);
  unsigned seed = 12345;
  ProfileFile crcs;
  for (size_t i = 0; i < package.Files.size(); ++i) {
    const std::wstring n = IntToText(static_cast<int32_t>(i + 1));
    script.WriteString(script::kOneFiles, script::kFileName + n, package.Files[i].Name);
    script.WriteString(script::kOneFiles, script::kFileSize + n,
                       IntToText(static_cast<int32_t>(package.Files[i].Size)));
    uint32_t crc = 0;
    for (int64_t left = package.Files[i].Size; left > 0;) {
      const uint32_t piece = static_cast<uint32_t>(std::min<int64_t>(left, kPayloadBlock));
      for (uint32_t j = 0; j < piece; j += 64)
        block[j] = static_cast<char>(seed = seed * 1103515245u + 12345u);
      payload.Write(block.data(), piece);
      crc = Crc32Update(crc, block.data(), piece);
      left -= piece;
    }
    crcs.WriteString(script::kOneFiles, script::kFileCrc + n, CrcText(crc));
    package.Bytes += package.Files[i].Size;
  }
  package.Unchecked = package.Folder + L"unchecked.ini";
  package.Checked = package.Folder + L"checked.ini";
  script.Save(package.Unchecked);
  for (size_t i = 0; i < package.Files.size(); ++i) {
    const std::wstring key = script::kFileCrc + IntToText(static_cast<int32_t>(i + 1));
    script.WriteString(script::kOneFiles, key, crcs.ReadString(script::kOneFiles, key, L""));
  }
  script.Save(package.Checked);
  return package;
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double InstallThroughEngine(const Package& package, const std::wstring& target, bool checked) {
  CopyFileW((checked ? package.Checked : package.Unchecked).c_str(),
            (package.Folder + script::kScriptFile).c_str(), FALSE);
  SetupState state;
  state.PackageFolder = package.Folder;
  state.CountOfFiles = static_cast<int32_t>(package.Files.size());
  PumpingEvents events;
  const auto start = std::chrono::steady_clock::now();
  if (const Status installed = RunInstall(state, {target}, events); !installed) {
    fwprintf(stderr, L"install failed: %ls\n", installed.Error().Message().c_str());
    exit(1);
  }
  return Seconds(start);
}

// The floor: the same files out of the same payload with nothing else around.
// `withCrc` computes the CRC-32 of every block as the engine checks it;
// `engineFlags` opens the files as the engine does (sequential scan, a new file
// made with CREATE_NEW), so that a disk's handling of those flags counts alike.
struct SplitKind {
  bool withCrc = false;
  bool engineFlags = false;
};

double SplitPlainly(const Package& package, const std::wstring& target, SplitKind kind) {
  const auto start = std::chrono::steady_clock::now();
  const DWORD flags = kind.engineFlags ? FILE_FLAG_SEQUENTIAL_SCAN : 0;
  FileHandle payload(CreateFileW((package.Folder + script::kPayloadFile).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                 nullptr));
  std::vector<char> buffer(kPayloadBlock);
  CreateDirectoryW(target.c_str(), nullptr);
  uint32_t crcs = 0;  // kept, so that the sums are not optimised away
  for (const PackageFile& file : package.Files) {
    const std::wstring path = target + L"\\" + file.Name;
    CreateDirectoryW(FolderOf(path).c_str(), nullptr);
    FileHandle out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                               kind.engineFlags ? CREATE_NEW : CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL | flags, nullptr));
    uint32_t crc = 0;
    for (int64_t left = file.Size; left > 0;) {
      const DWORD piece = static_cast<DWORD>(std::min<int64_t>(left, kPayloadBlock));
      DWORD done = 0;
      ReadFile(payload.Get(), buffer.data(), piece, &done, nullptr);
      if (kind.withCrc)
        crc = Crc32Update(crc, buffer.data(), done);
      WriteFile(out.Get(), buffer.data(), done, &done, nullptr);
      left -= piece;
    }
    crcs ^= crc;
  }
  volatile uint32_t sink = crcs;
  (void)sink;
  return Seconds(start);
}

// On a shared machine the best run is the one least disturbed by others.
double Best(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The median of the runs' own ratios: each run's sides ran within a second of
// each other, so a slow minute on a shared machine touches both.
double MedianRatio(const std::vector<double>& over, const std::vector<double>& under) {
  std::vector<double> ratios;
  for (size_t i = 0; i < over.size(); ++i) ratios.push_back(over[i] / under[i]);
  return Median(ratios);
}

void Measure(const char* title, const Package& package, const std::wstring& work, int runs) {
  constexpr int kSides = 5;
  std::vector<double> times[kSides];
  for (int run = 0; run < runs; ++run) {
    const std::wstring target = work + L"\\target";
    // Rotate the order so that no side always meets a warmer cache.
    for (int step = 0; step < kSides; ++step) {
      const int side = (step + run) % kSides;
      double seconds = 0;
      switch (side) {
        case 0:
          seconds = InstallThroughEngine(package, target, true);
          break;
        case 1:
          seconds = InstallThroughEngine(package, target, false);
          break;
        case 2:
          seconds = SplitPlainly(package, target, {});
          break;
        case 3:
          seconds = SplitPlainly(package, target, {true, false});
          break;
        default:
          seconds = SplitPlainly(package, target, {false, true});
      }
      times[side].push_back(seconds);
      RemoveTree(target);
    }
  }
  const double mb = static_cast<double>(package.Bytes) / 1e6;
  std::printf("%s: %zu files, %.1f MB, median (best) of %d runs\n", title, package.Files.size(), mb,
              runs);
  const char* labels[kSides] = {
      "install engine:", "without sums:", "plain split:", "split + CRC-32:", "split, same flags:"};
  const char* notes[kSides] = {"  (checksums checked)", "  (an older package)", "", "", ""};
  for (int side = 0; side < kSides; ++side) {
    const double median = Median(times[side]);
    std::printf("  %-19s %7.3f s (%.3f s)  %8.1f MB/s  %8.0f files/s%s\n", labels[side], median,
                Best(times[side]), mb / median, package.Files.size() / median, notes[side]);
  }
  const auto ratio = [&](const char* what, int over, int under, const char* goal) {
    std::printf("  ratio %-36s %.3f, best %.3f, median of the runs' own %.3f%s\n", what,
                Median(times[over]) / Median(times[under]), Best(times[over]) / Best(times[under]),
                MedianRatio(times[over], times[under]), goal);
  };
  ratio("engine / plain split:", 0, 2, "");
  ratio("without sums / plain split:", 1, 2, "");
  ratio("engine / split + CRC-32:", 0, 3, "  (goal on tmpfs <= 1.05)");
  ratio("engine / split with the same flags:", 0, 4, "  (goal on ext4 <= 1.1)");
  std::fflush(stdout);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: install_benchmark <work folder> [runs]\n");
    return 2;
  }
  const std::wstring work = WithoutTrailingBackslash(argv[1]);
  const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;
  g_pump = !(argc > 3 && std::wstring(argv[3]) == L"--no-pump");
  try {
    ForceFolder(work);
    if (!_wgetenv(L"BENCH_SMALL_ONLY")) {
      std::vector<PackageFile> large;
      for (int i = 1; i <= 4; ++i)
        large.push_back({L"data\\volume" + IntToText(i) + L".bin", 250000000});
      const Package package = WritePackage(work + L"\\large", std::move(large));
      Measure("Large files", package, work, runs);
      RemoveTree(work + L"\\large");
    }
    if (!_wgetenv(L"BENCH_LARGE_ONLY")) {
      std::vector<PackageFile> small;
      for (int i = 0; i < 20000; ++i)
        small.push_back({L"folder" + IntToText(i / 200) + L"\\file" + IntToText(i) + L".txt",
                         512 + (i * 7919) % 7680});
      const Package package = WritePackage(work + L"\\small", std::move(small));
      Measure("Small files", package, work, runs);
      RemoveTree(work + L"\\small");
    }
  } catch (const KovrinError& error) {
    std::fprintf(stderr, "error: %s\n", error.what());
    return 1;
  }
  RemoveTree(work);
  return 0;
}
