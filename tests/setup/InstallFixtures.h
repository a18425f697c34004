#pragma once
// An install view that records what the engine showed, and the readers the
// install tests share.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestPackage.h"
#include "TestUtil.h"
#include "formats/UninstallRecord.h"
#include "setup/InstallEngine.h"
#include "support/ComScope.h"

class RecordingView final : public InstallView {
 public:
  std::vector<std::wstring> events;
  std::vector<int> fileBar, overallBar;
  std::vector<std::wstring> stages, fileLabels;
  bool finished = false;
  FinishPageBoxes boxes;
  int cancelAtFile = 0;  // > 0: the user asks to stop once that file's label is shown

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
  bool Cancelled() override {
    if (cancelAtFile <= 0)
      return false;
    int shown = 0;
    for (const std::wstring& label : fileLabels)
      if (label.rfind(kCopyingFilePrefix, 0) == 0)
        ++shown;
    return shown >= cancelAtFile;
  }
  void ShowFinishPage(const FinishPageBoxes& shown) override {
    finished = true;
    boxes = shown;
  }
};

// The error message of an install, or "" when it succeeded.
std::wstring InstallError(SetupState& state, const InstallChoices& choices, InstallView& view);

// Every file and folder below `folder`, relative to it, sorted ("sub\\a.txt", "sub").
std::vector<std::wstring> TreeOf(const std::wstring& folder);

// The Uninst.ini text as stored (Windows-1251 bytes turned back into UTF-16).
std::wstring UninstallScriptText(const std::wstring& installFolder);
// Target, arguments and working folder of a link, read back through IShellLinkW.
struct LinkFields {
  std::wstring Target, Arguments, WorkingFolder;
};
LinkFields ReadLink(const std::wstring& linkPath);

// Installs packages with their uninstaller registered into a scratch Windows
// folder (%SystemRoot%) and a shared install folder; the registry entries go
// again afterwards.
class RegisteredInstallTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateDirectoryW(windows.c_str(), nullptr); }
  void TearDown() override {
    for (const std::wstring& name : registered)
      RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name).c_str());
  }
  // Installs `package` into `folder` with its uninstaller registered.
  void InstallRegistered(TestPackage& package, const std::wstring& folder) {
    package.useUninstall = true;
    package.Write();
    registered.push_back(package.programName);
    SetupState state = package.State();
    RecordingView seen;
    ASSERT_EQ(InstallError(state, {folder}, seen), L"") << Narrow(package.programName);
  }

  ComScope com;
  TempDir dir;
  std::wstring windows = dir / L"windows";
  ScopedEnv systemRoot{L"SystemRoot", windows};
  std::wstring shared = dir / L"Company";
  std::vector<std::wstring> registered;
};
