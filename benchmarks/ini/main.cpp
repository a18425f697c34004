// Times writing and reading back a setup script of 10,000 and 100,000 file rows
// and prints the ratio: reading and writing must stay linear in the rows.
//   ini_benchmark [folder]   (default: the temporary folder)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/SetupScriptReader.h"
#include "formats/SetupScriptWriter.h"
#include "support/FileSystem.h"
#include "support/ProfileFile.h"

namespace {
double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

struct Timing {
  double write = 0, read = 0;
};

Timing Measure(int rows, const std::wstring& folder) {
  SetupProject project;
  project.ProgramName = L"Benchmark";
  project.Files.reserve(rows);
  for (int i = 0; i < rows; ++i)
    project.Files.push_back(
        FileEntry{L"folder\\sub\\file" + std::to_wstring(i) + L".dat", L"C:\\src", i});
  const std::wstring path = folder + L"\\ini_benchmark_" + std::to_wstring(rows) + L".ini";

  std::vector<double> writes, reads;
  for (int run = 0; run < 5; ++run) {
    DeleteFileW(path.c_str());
    NullProgress progress;
    double start = Now();
    WriteSetupScript(project, path, progress);
    writes.push_back(Now() - start);

    start = Now();
    ProfileFile script = ProfileFile::Load(path);
    SetupScriptValues values = ReadSetupScriptValues(script);
    int64_t total = 0;
    for (int32_t n = 1; n <= values.CountOfFiles; ++n) total += ReadFileRow(script, n)->FileSize;
    reads.push_back(Now() - start);
    if (values.CountOfFiles != rows || total != int64_t(rows) * (rows - 1) / 2) {
      std::printf("read-back mismatch for %d rows\n", rows);
      std::exit(1);
    }
  }
  DeleteFileW(path.c_str());
  std::sort(writes.begin(), writes.end());
  std::sort(reads.begin(), reads.end());
  return Timing{writes[2], reads[2]};  // medians of five
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring folder = argc > 1 ? argv[1] : L"";
  if (folder.empty()) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = WithoutTrailingBackslash(temp);
  }
  if (argc > 2) {  // extra sizes for a scaling check
    for (int i = 2; i < argc; ++i) {
      Timing t = Measure(_wtoi(argv[i]), folder);
      std::printf("%d rows: write %.3f s, read %.3f s\n", _wtoi(argv[i]), t.write, t.read);
    }
    return 0;
  }
  Timing small = Measure(10000, folder);
  Timing large = Measure(100000, folder);
  std::printf("rows      write_s   read_s   (median of 5)\n");
  std::printf("10000   %8.3f %8.3f\n", small.write, small.read);
  std::printf("100000  %8.3f %8.3f\n", large.write, large.read);
  std::printf("ratio 100000/10000: write %.1fx, read %.1fx (linear = 10x)\n",
              large.write / small.write, large.read / small.read);
  return 0;
}
