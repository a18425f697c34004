#pragma once
// The install of /S: no window, no message box, no question. The package is read
// and checked as the window would read it, then installed through the same
// engine with the script's choices: the install folder of /D= or the script,
// every shortcut of the script (nobody is there to untick a box), and none of the
// finishing actions (no program started, no site opened, no restart).

#include <string>

#include "setup/CommandLine.h"
#include "setup/InstallEngine.h"

class InstallLog;

// The view of an install that nobody watches.
class SilentView : public InstallView {
 public:
  void EnterInstallingState() override {}
  void ShowCopyPage() override {}
  void SetStageLabel(const std::wstring&) override {}
  void SetFileLabel(const std::wstring&) override {}
  void SetFileBar(int) override {}
  void SetOverallBar(int) override {}
  void StartManyFilesAnimation() override {}
  void StartFileAnimation() override {}
  void StopAnimations() override {}
  void ShowFinishPage(const FinishPageBoxes&) override {}
};

struct SilentOutcome {
  int ExitCode = 0;     // SetupExitCode
  std::wstring Reason;  // empty when installed
};

// Installs the package in `packageFolder` (with its trailing "\"). A missing
// script, damaged texts, a missing data.dat or rows that CheckFileRows refuses
// are a bad package (2) before anything is written; the install's own failures
// map through InstallExitCode.
// `log` hears of every step; the caller writes the result line.
SilentOutcome RunSilentInstall(const std::wstring& packageFolder, const SetupCommandLine& line,
                               InstallLog& log);
