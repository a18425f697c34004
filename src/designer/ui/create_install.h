#pragma once
// The build dialog: four stage rows with their marks, a status line and a bar
// while the build run works; the run starts one second after the dialog opens.

#include <windows.h>

#include <optional>
#include <string>

#include "designer/BuildRun.h"
#include "support/Prompts.h"
#include "win/MessagePump.h"
#include "win/Window.h"

class TForm3 : public Window, public BuildObserver {
 public:
  TForm3(SetupProject& project, BuildFolders folders, Prompter& prompter);
  ~TForm3() override;

  // Shows the dialog modally over `owner` (disabled meanwhile) and returns when
  // it has closed: true when the package was created.
  bool ShowModal(HWND owner, UINT startDelayMs = 1000);

  // The dialog's controls; `stage` counts from 1.
  HWND StageMark(int stage) const { return marks_[stage - 1]; }
  HWND StageLabel(int stage) const { return labels_[stage - 1]; }
  HWND StatusLine() const { return status_; }
  HWND ProgressBar() const { return bar_; }
  HWND CancelButton() const { return cancel_; }
  // The pictures a mark shows: the check mark of a finished stage, the arrow of a running one.
  HICON CheckMark() const { return checkIcon_; }
  HICON Arrow() const { return arrowIcon_; }

  // BuildObserver, driven by the run.
  void SetStatus(const std::wstring& text) override;
  void SetPosition(int position) override;
  void Pump() override;
  bool Cancelled() override { return cancelRequested_; }
  void StageBegins(BuildStage stage) override;
  void StageEnds(BuildStage stage) override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Create(HWND owner);
  void FormCreate();
  void Timer1Timer();
  void Button1Click();
  void RunBuild();
  void Close();

  SetupProject& project_;
  BuildFolders folders_;
  Prompter& prompter_;
  UINT startDelayMs_ = 1000;
  std::optional<MessagePump> pump_;  // while the run works

  HWND marks_[4] = {};
  HWND labels_[4] = {};
  HWND status_ = nullptr;
  HWND bar_ = nullptr;
  HWND cancel_ = nullptr;
  HICON checkIcon_ = nullptr;
  HICON arrowIcon_ = nullptr;

  bool running_ = false;
  bool cancelRequested_ = false;
  bool closeRequested_ = false;  // through the frame while the run worked
  bool closed_ = false;
  bool succeeded_ = false;
};

// "Запуск": builds the project in the modal build dialog, with the folders of
// a real run (Kovrin.dat and uninst.dat beside the designer, the build folder
// under %Temp%); its message boxes go through `prompter`. The project afterwards
// holds the files' order and sizes as the build used them. True when the package
// was created.
bool ShowBuildDialog(HWND owner, SetupProject& project, const std::wstring& designerFolder,
                     Prompter& prompter);
