// Build benchmark: the designer's command-line build (/build PROJECT /out FOLDER,
// run in this process) beside the floor, a bare concatenation of the same source
// files into one file through a 1,000,000-byte buffer, in paired rounds whose
// order alternates. Corpora: "typical" (129 files, about 60 MB), "many" (20,000
// small files, about 174 MB) and, when a folder is given, the files found in it
// ("real": run.sh passes a selection of Wine's own DLLs). Prints each side's
// median, the ratio of the medians and the median of the rounds' own ratios, and
// the fixed weight of the package (all its files less the payload).
//   build_benchmark <work folder> [rounds] [kit folder] [real corpus folder]
// The kit folder holds Kovrin.dat and uninst.dat: by default the build's dist
// folder beside this program's bin folder. The work folder should be on a fresh
// file system (see run.sh).

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Scratch.h"
#include "designer/CommandLineBuild.h"
#include "formats/ProjectFile.h"
#include "formats/ScriptKeys.h"
#include "support/FileSystem.h"
#include "support/Handle.h"

namespace {
constexpr DWORD kFloorBuffer = 1000000;

struct Corpus {
  const char* name;
  std::wstring folder;  // the sources, below it
  std::vector<FileEntry> files;
  int64_t bytes = 0;
};

void AddFile(Corpus& corpus, const std::wstring& name, int64_t size, unsigned seed) {
  const std::wstring path = corpus.folder + L"\\" + name;
  if (GetFileSize64(path) != size) {
    ForceFolder(FolderOf(path));
    WritePatternFile(path, size, seed);
  }
  corpus.files.push_back({name, corpus.folder, size});
  corpus.bytes += size;
}

// 8 files of 5 MB and 121 of 1 KB to 330 KB: about 60 MB in 129 files.
Corpus MakeTypical(const std::wstring& root) {
  Corpus corpus{"typical", root + L"\\typical"};
  for (int i = 0; i < 8; ++i)
    AddFile(corpus, L"media\\part" + std::to_wstring(i) + L".bin", 5000000, i + 1);
  for (int i = 0; i < 121; ++i)
    AddFile(corpus,
            L"app\\dir" + std::to_wstring(i / 20) + L"\\file" + std::to_wstring(i) + L".dat",
            1024 + (static_cast<int64_t>(i) * 104729) % 330000, 100 + i);
  return corpus;
}

// 20,000 files of 0.5 to 17 KB in 20 folders: about 174 MB.
Corpus MakeMany(const std::wstring& root) {
  Corpus corpus{"many", root + L"\\many"};
  for (int i = 0; i < 20000; ++i)
    AddFile(corpus, L"dir" + std::to_wstring(i / 1000) + L"\\file" + std::to_wstring(i) + L".dat",
            512 + (static_cast<int64_t>(i) * 7919) % 16400, i);
  return corpus;
}

// Every file below `folder`, in the order of the listing.
void ListFolder(Corpus& corpus, const std::wstring& below) {
  WIN32_FIND_DATAW found;
  const std::wstring folder = below.empty() ? corpus.folder : corpus.folder + L"\\" + below;
  FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (!search)
    return;
  do {
    const std::wstring name = below.empty() ? found.cFileName : below + L"\\" + found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (found.cFileName[0] != L'.')
        ListFolder(corpus, name);
      continue;
    }
    const int64_t size = static_cast<int64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
    corpus.files.push_back({name, corpus.folder, size});
    corpus.bytes += size;
  } while (FindNextFileW(search.Get(), &found));
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class SilentConsole final : public ConsoleWriter {
 public:
  void Out(const std::wstring&) override {}
  void Error(const std::wstring& line) override { last = line; }
  std::wstring last;
};

struct Package {
  std::wstring projectFile;
  std::wstring output;
};

Package WriteProject(const Corpus& corpus, const std::wstring& root) {
  SetupProject project;
  project.ProgramName = L"Benchmark";
  project.UseUninstall = true;  // the package carries the uninstaller, as most do
  project.Files = corpus.files;
  Package package{
      root + L"\\" + std::wstring(corpus.name, corpus.name + strlen(corpus.name)) + L".kovrin",
      root + L"\\package"};
  project.OutputFolder = package.output;
  SaveProjectFile(project, package.projectFile);
  return package;
}

// Seconds of one /build; `fixedWeight` gets the package's bytes less its payload.
double TimeBuild(const Corpus& corpus, const Package& package, const std::wstring& kit,
                 int64_t& fixedWeight) {
  StartCommand command;
  command.Mode = StartMode::Build;
  command.ProjectPath = package.projectFile;
  command.OutputFolder = package.output;
  SilentConsole console;
  const auto start = std::chrono::steady_clock::now();
  const int code = RunCommandLineBuild(command, kit, console);
  const double seconds = Seconds(start);
  if (code != kExitBuilt) {
    fwprintf(stderr, L"/build failed (%d): %ls\n", code, console.last.c_str());
    exit(1);
  }
  const int64_t payload = GetFileSize64(package.output + L"\\" + script::kPayloadFile);
  if (payload != corpus.bytes) {
    fwprintf(stderr, L"/build wrote a payload of the wrong size\n");
    exit(1);
  }
  int64_t all = 0;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((package.output + L"\\*").c_str(), &found));
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      all += static_cast<int64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
  } while (FindNextFileW(search.Get(), &found));
  search.Reset();
  fixedWeight = all - payload;
  EmptyTree(package.output);
  return seconds;
}

// The floor: each source read once and appended to one file, nothing else.
double TimeFloor(const Corpus& corpus, const std::wstring& root, std::vector<char>& buffer) {
  const std::wstring folder = root + L"\\floor";
  CreateDirectoryW(folder.c_str(), nullptr);
  const auto start = std::chrono::steady_clock::now();
  FileHandle out(CreateFileW((folder + L"\\data.dat").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  int64_t written = 0;
  for (const FileEntry& file : corpus.files) {
    FileHandle in(CreateFileW(file.SourcePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    DWORD got = 0, put = 0;
    while (in && ReadFile(in.Get(), buffer.data(), kFloorBuffer, &got, nullptr) && got > 0) {
      WriteFile(out.Get(), buffer.data(), got, &put, nullptr);
      written += put;
    }
  }
  out.Reset();
  const double seconds = Seconds(start);
  if (written != corpus.bytes) {
    fwprintf(stderr, L"the floor's concatenation wrote the wrong size\n");
    exit(1);
  }
  EmptyTree(folder);
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Measure(const Corpus& corpus, const std::wstring& root, const std::wstring& kit, int rounds) {
  const Package package = WriteProject(corpus, root);
  std::vector<char> buffer(kFloorBuffer);
  std::vector<double> builds, floors, ratios;
  int64_t fixedWeight = 0;
  for (int round = 0; round < rounds; ++round) {
    double build = 0, floor = 0;
    // Alternate which side runs first, so that neither always meets the warmer cache.
    if (round % 2 == 0) {
      build = TimeBuild(corpus, package, kit, fixedWeight);
      floor = TimeFloor(corpus, root, buffer);
    } else {
      floor = TimeFloor(corpus, root, buffer);
      build = TimeBuild(corpus, package, kit, fixedWeight);
    }
    builds.push_back(build);
    floors.push_back(floor);
    ratios.push_back(build / floor);
  }
  const double build = Median(builds), floor = Median(floors);
  printf(
      "%-8s %6zu files %10.1f MB | /build %7.3f s | floor %7.3f s | ratio %5.2f, "
      "median of the rounds' %5.2f\n",
      corpus.name, corpus.files.size(), static_cast<double>(corpus.bytes) / 1e6, build, floor,
      build / floor, Median(ratios));
  printf("         rounds /build:");
  for (double t : builds) printf(" %.3f", t);
  printf("  floor:");
  for (double t : floors) printf(" %.3f", t);
  printf("\n         fixed weight of the package (all files - payload): %lld B\n",
         static_cast<long long>(fixedWeight));
  fflush(stdout);
}

// The build's dist folder: this program lives in its bin folder.
std::wstring DefaultKitFolder() {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  return FolderOf(std::wstring(self, length < MAX_PATH ? length : 0)) + L"..\\dist\\";
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    fwprintf(stderr, L"usage: build_benchmark <work folder> [rounds] [kit folder] [real corpus]\n");
    return 2;
  }
  const std::wstring root = WithoutTrailingBackslash(argv[1]);
  const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;
  const std::wstring kit = argc > 3 ? WithTrailingBackslash(argv[3]) : DefaultKitFolder();
  for (const wchar_t* needed : {script::kLauncherImage, script::kUninstallerImage})
    if (!FileExists(kit + needed)) {
      fwprintf(stderr, L"%ls%ls is missing: build the dist target first\n", kit.c_str(), needed);
      return 2;
    }
  ForceFolder(root);
  printf("preparing sources...\n");
  fflush(stdout);
  std::vector<Corpus> corpora;
  const char* only = getenv("BENCH_CORPUS");  // typical, many or real: that one alone
  const auto wanted = [&](const char* name) { return !only || strcmp(only, name) == 0; };
  if (wanted("typical"))
    corpora.push_back(MakeTypical(root + L"\\sources"));
  if (wanted("many"))
    corpora.push_back(MakeMany(root + L"\\sources"));
  if (argc > 4 && wanted("real")) {
    Corpus real{"real", WithoutTrailingBackslash(argv[4])};
    ListFolder(real, L"");
    corpora.push_back(std::move(real));
  }
  printf("plain package, /build vs the floor's concatenation (%d paired rounds)\n", rounds);
  for (const Corpus& corpus : corpora) Measure(corpus, root, kit, rounds);
  return 0;
}
