#pragma once
// The setup program's window (TForm1): header band, page list, the seven pages
// and the two buttons. It reads the package at creation, lets the end user walk
// the pages in any order, and carries the install out through the install
// engine, whose events it turns into its copy and finish pages.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "setup/InstallEngine.h"
#include "setup/ScriptLoading.h"
#include "setup/SetupState.h"
#include "setup/ui/ShowingPace.h"
#include "setup/ui/window_char.h"
#include "setup/ui/window_finish.h"
#include "setup/ui/window_info.h"
#include "setup/ui/window_install.h"
#include "setup/ui/window_license.h"
#include "setup/ui/window_path.h"
#include "setup/ui/window_shortcuts.h"
#include "support/ShellActions.h"
#include "win/Dialogs.h"
#include "win/MessagePump.h"
#include "win/Window.h"

inline constexpr wchar_t kSetupWindowCaption[] = L"Установка программы";
inline constexpr wchar_t kSetupWindowClass[] = L"KovrinSetupWindow";

// What the window asks of the outside world; tests pass their own.
struct SetupServices {
  Dialogs& dialogs;  // questions and the folder browser
  ShellActions& shell;
  DriveProbe& drives;
  int showCommand = SW_SHOWNORMAL;  // how the finishing "open" shows a program
  bool endsProgram = false;         // closing the window ends the message loop
  InstallEvents* log = nullptr;     // the install log of /LOG=, if any
  bool allowDowngrade = false;      // /ALLOWDOWNGRADE
};

class TForm1 final : public Window, public InstallEvents {
 public:
  TForm1(std::wstring packageFolder, const SetupServices& services);

  // Creates the window hidden and runs the start-up (FormCreate); an error of
  // the start-up is shown and the window keeps the state reached so far.
  void Create();

  // Handlers, named after the controls they serve.
  void FormCreate();
  void ListBox1Click();
  void Button1Click();
  void Button2Click();
  void Frame41Edit1Change();
  void Frame41Button1Click();

  void HideAllPages();
  void ShowPage(int position);
  void ShowFreeSpace(const std::wstring& path);

  const SetupState& State() const { return state_; }
  // /REBOOTOK: files in use are replaced at the next restart instead of asked about.
  void ReplaceInUseAtRestart() { replaceInUseAtRestart_ = true; }
  // Why the package may not go over the installed product (kExitDowngrade,
  // kExitOtherProduct); 0 when it may.
  int RefusalCode() const { return refusalCode_; }

  // InstallEvents, shown on the copy page and the finish page.
  void StageChanged(InstallStage stage) override;
  void FileStarted(int32_t row, const std::wstring& name) override;
  void ProgressChanged(int filePermille, int overallPermille) override;
  void Finished(const FinishPageBoxes& boxes) override;
  // "Повторить" / "Отмена" about a file another program holds open.
  InUseAnswer FileInUse(const std::wstring& path,
                        const std::vector<std::wstring>& holders) override;
  void Pump() override;
  bool Cancelled() override;

  HWND Label1 = nullptr;  // header: "Установка программы: " + ProgramName
  HWND Label2 = nullptr;  // "Этапы установки:"
  HWND ListBox1 = nullptr;
  HWND Button1 = nullptr;  // "Отмена", then "Готово"
  HWND Button2 = nullptr;  // "Установить"
  TFrame1 Frame11;
  TFrame2 Frame21;
  TFrame3 Frame31;
  TFrame4 Frame41;
  TFrame5 Frame51;
  TFrame6 Frame61;
  TFrame7 Frame71;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  Status FillPages();
  void OnCommand(HWND control, int code);
  void PaintHeaderBand();
  // After a failed install: the copy page says so and "Отмена" closes the window.
  void ShowInstallStopped();
  // Both clips stopped at their first frame, both bars empty, no file named.
  void ResetCopyPage(const wchar_t* stageText);
  // The file label names the file being copied and the bars show the shares
  // copied, each at the pace of its ShowingPace; what is held back is shown at
  // the next pump.
  void ShowFileName(const std::wstring& name);
  void ShowHeldFileName();
  void ShowHeldShares();
  void AskToAbort();
  // An upgrade proposes the installed folder; a refused one is said and "Установить" stays off.
  void CheckInstalledProduct();

  SetupState state_;
  SetupServices services_;
  bool installStarted_ = false;  // one install per run, even after a failed one
  bool abortAsked_ = false;      // "Прервать установку?" answered "Да"
  bool replaceInUseAtRestart_ = false;
  int refusalCode_ = 0;
  std::optional<MessagePump> pump_;  // while the install runs
  std::wstring heldFileName_;        // a name not shown yet; empty when none
  ShowingPace fileNamePace_{40};     // milliseconds: 25 names a second
  int heldFileShare_ = kNoShare;     // shares not shown yet, or kNoShare
  int heldOverallShare_ = kNoShare;
  ShowingPace sharePace_{40};
};
