// Build benchmark: builds a package of a few large files (about 1 GB) and one of
// 20,000 small files with RunBuild, and copies the same files with CopyFileW in
// the same run; prints each median time, throughput and the build/copy ratio.
//   build_benchmark <work folder> [rounds]
// The work folder should be on a fresh file system (see run.sh).

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Scratch.h"
#include "designer/BuildRun.h"
#include "support/FileSystem.h"
#include "support/Handle.h"
#include "win/MessagePump.h"

namespace {
constexpr int kLargeFiles = 4;
constexpr int64_t kLargeSize = 250000000;
constexpr int kSmallFiles = 20000;
constexpr int kSmallPerFolder = 1000;

// Lets pending messages run with the build dialog's pump, so the benchmark pays
// for the pumping as the dialog does.
class PumpingObserver final : public BuildObserver {
 public:
  void Pump() override { pump_.Run(); }

 private:
  MessagePump pump_;
};

struct DataSet {
  const char* name;
  std::vector<FileEntry> files;
  int64_t bytes = 0;
};

DataSet MakeLargeSet(const std::wstring& root) {
  DataSet set{"large files"};
  const std::wstring folder = root + L"\\large";
  ForceFolder(folder);
  for (int i = 0; i < kLargeFiles; ++i) {
    const std::wstring name = L"part" + std::to_wstring(i) + L".bin";
    if (GetFileSize64(folder + L"\\" + name) != kLargeSize)
      WritePatternFile(folder + L"\\" + name, kLargeSize, i + 1);
    set.files.push_back({name, folder, kLargeSize});
    set.bytes += kLargeSize;
  }
  return set;
}

DataSet MakeSmallSet(const std::wstring& root) {
  DataSet set{"small files"};
  const std::wstring folder = root + L"\\small";
  for (int i = 0; i < kSmallFiles; ++i) {
    const std::wstring sub = L"dir" + std::to_wstring(i / kSmallPerFolder);
    if (i % kSmallPerFolder == 0)
      ForceFolder(folder + L"\\" + sub);
    const std::wstring name = sub + L"\\file" + std::to_wstring(i) + L".dat";
    const int64_t size = 512 + (static_cast<int64_t>(i) * 7919) % 16384;  // 0.5 .. 16.5 KB
    if (GetFileSize64(folder + L"\\" + name) != size)
      WritePatternFile(folder + L"\\" + name, size, i);
    set.files.push_back({name, folder, size});
    set.bytes += size;
  }
  return set;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double TimeBuild(const DataSet& set, const std::wstring& root) {
  SetupProject project;
  project.ProgramName = L"Benchmark";
  project.OutputFolder = root + L"\\package";
  project.Files = set.files;
  PumpingObserver observer;
  const BuildFolders folders{root + L"\\designer\\", root + L"\\temp\\Kovrin"};
  const auto start = std::chrono::steady_clock::now();
  const BuildResult result = RunBuild(project, folders, observer);
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  if (result.Outcome != BuildOutcome::Done) {
    fwprintf(stderr, L"build failed: %ls\n", result.Message.c_str());
    exit(1);
  }
  if (GetFileSize64(project.OutputFolder + L"\\data.dat") != set.bytes) {
    fwprintf(stderr, L"build wrote a payload of the wrong size\n");
    exit(1);
  }
  EmptyTree(project.OutputFolder);
  return seconds;
}

// The least a copy can do: read and write each file through one 1 MB buffer.
bool StreamCopy(const std::wstring& from, const std::wstring& to, std::vector<char>& buffer) {
  FileHandle in(CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  FileHandle out(CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!in || !out)
    return false;
  DWORD got = 0, put = 0;
  while (ReadFile(in.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
         got > 0)
    if (!WriteFile(out.Get(), buffer.data(), got, &put, nullptr) || put != got)
      return false;
  return true;
}

enum class CopyKind { Platform, Stream };

double TimeCopy(const DataSet& set, const std::wstring& root, CopyKind kind) {
  const std::wstring target = root + L"\\copy";
  std::vector<char> buffer(1 << 20);
  const auto copy = [&](const std::wstring& from, const std::wstring& to) {
    return kind == CopyKind::Platform ? CopyFileW(from.c_str(), to.c_str(), FALSE) != 0
                                      : StreamCopy(from, to, buffer);
  };
  const auto start = std::chrono::steady_clock::now();
  for (const FileEntry& file : set.files) {
    const std::wstring to = target + L"\\" + file.RelativeName;
    if (!copy(file.SourcePath(), to)) {
      ForceFolder(FolderOf(to));
      if (!copy(file.SourcePath(), to)) {
        fwprintf(stderr, L"copy failed: %ls\n", to.c_str());
        exit(1);
      }
    }
  }
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  EmptyTree(target);
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    fwprintf(stderr, L"usage: build_benchmark <work folder> [rounds]\n");
    return 2;
  }
  const std::wstring root = WithoutTrailingBackslash(argv[1]);
  const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;
  ForceFolder(root + L"\\designer");
  WritePatternFile(root + L"\\designer\\Kovrin.dat", 450000, 99);

  printf("preparing sources...\n");
  fflush(stdout);
  const DataSet sets[] = {MakeLargeSet(root + L"\\sources"), MakeSmallSet(root + L"\\sources")};
  // Two plain copies: the platform's CopyFileW, and a bare read/write loop
  // through a 1 MB buffer. The ratio is taken against the faster of the two.
  printf("%-12s %6s %11s | %8s %8s | %8s %8s | %8s %8s | %6s\n", "set", "files", "bytes", "build s",
         "MB/s", "CopyFile", "MB/s", "stream s", "MB/s", "ratio");
  for (const DataSet& set : sets) {
    std::vector<double> builds, platform, stream;
    for (int round = 0; round < rounds; ++round) {
      // Rotate the order so that no side always runs first.
      for (int step = 0; step < 3; ++step) {
        switch ((round + step) % 3) {
          case 0:
            builds.push_back(TimeBuild(set, root));
            break;
          case 1:
            platform.push_back(TimeCopy(set, root, CopyKind::Platform));
            break;
          case 2:
            stream.push_back(TimeCopy(set, root, CopyKind::Stream));
            break;
        }
      }
    }
    const double build = Median(builds), copyFile = Median(platform), streamCopy = Median(stream);
    const double megabytes = static_cast<double>(set.bytes) / 1e6;
    printf("%-12s %6zu %11lld | %8.2f %8.1f | %8.2f %8.1f | %8.2f %8.1f | %5.2fx\n", set.name,
           set.files.size(), static_cast<long long>(set.bytes), build, megabytes / build, copyFile,
           megabytes / copyFile, streamCopy, megabytes / streamCopy,
           build / std::min(copyFile, streamCopy));
    const auto list = [](const char* label, const std::vector<double>& times) {
      printf("    %-9s", label);
      for (double t : times) printf(" %7.2f", t);
      printf("\n");
    };
    list("build", builds);
    list("CopyFile", platform);
    list("stream", stream);
    fflush(stdout);
  }
  return 0;
}
