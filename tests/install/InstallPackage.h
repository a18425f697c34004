#pragma once
// A package written by a test, an install view that records what the engine showed,
// and the few readers the install tests share.

#include <windows.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "setup/InstallEngine.h"
#include "setup/SetupState.h"
#include "support/ProfileFile.h"

struct PackageShortcut {
  std::wstring Name, SavePath, FileName, Params, FilePath;
};

class InstallPackage {
public:
  InstallPackage();
  // Adds a payload file of `size` pattern bytes and returns its content.
  const std::string& AddFile(const std::wstring& name, int64_t size);
  void AddShortcut(const PackageShortcut& shortcut);
  // Writes Setup.ini, data.dat and uninst.dat; `payloadCut` bytes are left off data.dat.
  void Write(int64_t payloadCut = 0);
  // The state start-up would leave: package folder, name and the counts.
  SetupState State() const;

  std::wstring Folder() const { return dir_.Path() + L"\\"; }
  std::wstring InstallFolder() const { return dir_ / L"target"; }
  std::wstring Scratch(const std::wstring& name) const { return dir_ / name; }
  ProfileFile& Script() { return script_; }

  std::wstring programName;
  bool useUninstall = false;
  std::vector<std::string> contents;

private:
  TempDir dir_;
  ProfileFile script_;
  int32_t files_ = 0;
  int32_t shortcuts_ = 0;
};

class RecordingView final : public InstallView {
public:
  std::vector<std::wstring> events;
  std::vector<int> fileBar, overallBar;
  std::vector<std::wstring> stages, fileLabels;
  bool finished = false;
  FinishPageBoxes boxes;

  void EnterInstallingState() override { events.push_back(L"installing"); }
  void ShowCopyPage() override { events.push_back(L"copy page"); }
  void SetStageLabel(const std::wstring& text) override { stages.push_back(text); }
  void SetFileLabel(const std::wstring& text) override { fileLabels.push_back(text); }
  void SetFileBar(int position) override { fileBar.push_back(position); }
  void SetOverallBar(int position) override { overallBar.push_back(position); }
  void StartManyFilesAnimation() override { events.push_back(L"many files"); }
  void StartFileAnimation() override { events.push_back(L"one file"); }
  void StopAnimations() override { events.push_back(L"stop"); }
  void Pump() override {}
  void ShowFinishPage(const FinishPageBoxes& shown) override {
    finished = true;
    boxes = shown;
  }
};

// A unique product name, so parallel tests never share a registry key.
std::wstring UniqueProgramName(const wchar_t* stem);
// The Uninst.ini text as stored (Windows-1251 bytes turned back into UTF-16).
std::wstring UninstallScriptText(const std::wstring& installFolder);
// Target, arguments and working folder of a link, read back through IShellLinkA.
struct LinkFields {
  std::wstring Target, Arguments, WorkingFolder;
};
LinkFields ReadLink(const std::wstring& linkPath);
