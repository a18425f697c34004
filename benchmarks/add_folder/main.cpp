// add_folder_benchmark [work folder] [files] [runs]
// Writes a tree of small files (default 20,000 in 20 folders) into the work folder
// (default %TEMP%), then in alternating runs: walks it bare with FindFirstFile and
// adds it through the designer's Files page (virtual list, labels after every row,
// messages let run after every row). Prints the median times, rows per second and
// the ratio page / bare walk. Runs headless under Wine's null display driver.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Scratch.h"
#include "designer/FileList.h"
#include "designer/ui/create_main.h"
#include "support/Environment.h"
#include "support/FileSystem.h"
#include "support/ShellActions.h"
#include "win/Dialogs.h"

namespace {
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void WriteTree(const std::wstring& root, int files) {
  const int folders = 20;
  CreateDirectoryW(root.c_str(), nullptr);
  for (int f = 0; f < folders; ++f) {
    std::wstring folder = root + L"\\dir" + std::to_wstring(f);
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = f; i < files; i += folders) {
      std::wstring path = folder + L"\\file" + std::to_wstring(i) + L".dat";
      HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD written = 0;
      char bytes[64] = {};
      WriteFile(file, bytes, static_cast<DWORD>(i % 64), &written, nullptr);
      CloseHandle(file);
    }
  }
}

class CountingSink final : public FileRowSink {
 public:
  int rows = 0;
  bool AddFileRow(FileEntry) override {
    ++rows;
    return true;
  }
  void RefuseFile(const std::wstring&, FileRefusal) override {}
};

class NoShell final : public ShellActions {
 public:
  bool Open(const std::wstring&, const std::wstring&, const std::wstring&, int) override {
    return true;
  }
  bool RequestRestart() override { return false; }
};
}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring work = argc > 1 ? argv[1] : GetEnvVar(L"TEMP");
  int files = argc > 2 ? _wtoi(argv[2]) : 20000;
  int runs = argc > 3 ? _wtoi(argv[3]) : 3;
  std::wstring root = WithoutTrailingBackslash(work) + L"\\kovrin_add_folder_bench";
  RemoveTree(root);

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  auto start = Clock::now();
  WriteTree(root, files);
  std::printf("tree: %d files in 20 folders written in %.2f s\n", files, Seconds(start));

  SystemDialogs dialogs;
  NoShell shell;
  std::vector<double> walk, page;
  int listed = 0;
  for (int run = 0; run < runs; ++run) {
    CountingSink sink;
    start = Clock::now();
    AddFolderTree(root, root, sink);
    walk.push_back(Seconds(start));

    TForm1 form(dialogs, shell, L"C:\\", false);
    form.Create(nullptr);
    form.State.FolderRoot = root;
    start = Clock::now();
    form.Frame21.AddFolderTree(root);
    page.push_back(Seconds(start));
    listed = form.Frame21.FileCount();
    if (listed != files || sink.rows != files) {
      std::printf("error: listed %d, walked %d, expected %d\n", listed, sink.rows, files);
      RemoveTree(root);
      return 1;
    }
  }
  double walkTime = Median(walk), pageTime = Median(page);
  std::printf("bare walk:              %.3f s (median of %d)\n", walkTime, runs);
  std::printf("Files page, add folder: %.3f s (median of %d), %.0f rows/s\n", pageTime, runs,
              listed / pageTime);
  std::printf("ratio page / bare walk: %.2f\n", pageTime / walkTime);
  RemoveTree(root);
  return 0;
}
