#pragma once
// Install events recorded as the engine tells them, and the readers the install
// tests share.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestPackage.h"
#include "TestUtil.h"
#include "formats/UninstallRecord.h"
#include "setup/InstallEngine.h"
#include "support/ComScope.h"

class RecordingEvents final : public InstallEvents {
 public:
  // One line per event, in order: "stage 1", "file 2 b.txt", "progress 1000 500",
  // "written <path> 5", "link <path> 1", "uninstaller <path>", "entry <key>",
  // "finished 1 0 1", "failed 3 <message>", "kept <path> 1".
  std::vector<std::wstring> trace;
  std::vector<InstallStage> stages;
  std::vector<std::wstring> files;  // the names of FileStarted
  std::vector<std::pair<int, int>> progress;
  bool finished = false;
  FinishPageBoxes boxes;
  int failedCode = -1;   // the exit code of Failed; -1 when not told
  int cancelAtFile = 0;  // > 0: the user asks to stop once that file has started
  std::function<void(int32_t row)> onFileStarted;  // what the test does as a file starts
  std::function<void()> onProgress;                // runs at each progress step
  // Answers FileInUse (Cancel when unset, as a silent run); `inUse` lists the files asked about.
  std::function<InUseAnswer(const std::wstring& path)> onFileInUse;
  std::vector<std::wstring> inUse;

  void StageChanged(InstallStage stage) override {
    stages.push_back(stage);
    Note(L"stage " + std::to_wstring(static_cast<int>(stage)));
  }
  void FileStarted(int32_t row, const std::wstring& name) override {
    files.push_back(name);
    Note(L"file " + std::to_wstring(row) + L" " + name);
    if (onFileStarted)
      onFileStarted(row);
  }
  void ProgressChanged(int file, int overall) override {
    progress.emplace_back(file, overall);
    Note(L"progress " + std::to_wstring(file) + L" " + std::to_wstring(overall));
    if (onProgress)
      onProgress();
  }
  InUseAnswer FileInUse(const std::wstring& path, const std::vector<std::wstring>&) override {
    inUse.push_back(path);
    return onFileInUse ? onFileInUse(path) : InUseAnswer::Cancel;
  }
  void FileWritten(const std::wstring& path, int64_t bytes) override {
    Note(L"written " + path + L" " + std::to_wstring(bytes));
  }
  void LinkMade(const std::wstring& path, bool made) override {
    Note(L"link " + path + (made ? L" 1" : L" 0"));
  }
  void UninstallerPlaced(const std::wstring& path) override { Note(L"uninstaller " + path); }
  void EntryRegistered(const std::wstring& keyPath) override { Note(L"entry " + keyPath); }
  void EarlierFileKept(const std::wstring& path, bool changed) override {
    Note(L"kept " + path + (changed ? L" 1" : L" 0"));
  }
  void Finished(const FinishPageBoxes& shown) override {
    finished = true;
    boxes = shown;
    Note(L"finished " + std::to_wstring(shown.GoSite) + L" " + std::to_wstring(shown.Run) + L" " +
         std::to_wstring(shown.Reboot));
  }
  void Failed(const std::wstring& message, int exitCode) override {
    failedCode = exitCode;
    Note(L"failed " + std::to_wstring(exitCode) + L" " + message);
  }
  bool Cancelled() override {
    return cancelAtFile > 0 && static_cast<int>(files.size()) >= cancelAtFile;
  }
  // The trace lines that begin with `kind` ("file", "progress"...).
  std::vector<std::wstring> Traced(const std::wstring& kind) const {
    std::vector<std::wstring> lines;
    for (const std::wstring& line : trace)
      if (line.rfind(kind + L" ", 0) == 0)
        lines.push_back(line);
    return lines;
  }

 private:
  void Note(std::wstring line) { trace.push_back(std::move(line)); }
};

// The error message of an install, or "" when it succeeded.
std::wstring InstallError(SetupState& state, const InstallChoices& choices, InstallEvents& events);

// The Uninst.ini text as stored (Windows-1251 bytes turned back into UTF-16).
std::wstring UninstallScriptText(const std::wstring& installFolder);
// Target, arguments and working folder of a link, read back through IShellLinkW.
struct LinkFields {
  std::wstring Target, Arguments, WorkingFolder;
};
LinkFields ReadLink(const std::wstring& linkPath);

// Installs packages with their uninstaller registered into a scratch Windows
// folder of their own and a shared install folder; the registry entries go
// again afterwards.
class RegisteredInstallTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateDirectoryW(windows.c_str(), nullptr); }
  void TearDown() override {
    for (const std::wstring& name : registered)
      RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name).c_str());
  }
  // The package's state with the scratch Windows folder.
  SetupState StateOf(const TestPackage& package) const {
    SetupState state = package.State();
    state.WindowsFolder = windows;
    return state;
  }
  // Installs `package` into `folder` with its uninstaller registered.
  void InstallRegistered(TestPackage& package, const std::wstring& folder) {
    package.useUninstall = true;
    package.Write();
    registered.push_back(package.programName);
    SetupState state = StateOf(package);
    RecordingEvents seen;
    ASSERT_EQ(InstallError(state, {folder}, seen), L"") << Narrow(package.programName);
  }

  ComScope com;
  TempDir dir;
  std::wstring windows = dir / L"windows";
  std::wstring shared = dir / L"Company";
  std::vector<std::wstring> registered;
};
