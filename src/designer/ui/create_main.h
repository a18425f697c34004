#pragma once
// The designer's main window: page list, the seven pages, status-bar hints, the
// link to the maker's site and the menu. The project lives in the pages' controls;
// StoreProject and LoadProject move it to and from the SetupProject model, and the
// "Файл" menu keeps it in a project file (file_menu.cpp).

#include <array>
#include <string>

#include "designer/ui/page.h"
#include "designer/ui/status_hints.h"
#include "designer/ui/window_extended.h"
#include "designer/ui/window_files.h"
#include "designer/ui/window_info.h"
#include "designer/ui/window_license.h"
#include "designer/ui/window_main.h"
#include "designer/ui/window_pack.h"
#include "designer/ui/window_shortcut.h"
#include "formats/SetupProject.h"
#include "support/ShellActions.h"
#include "win/Dialogs.h"
#include "win/Window.h"

class TForm1 : public Window {
 public:
  // `quitOnClose`: closing the window ends the message loop (off where the window
  // does not own the loop).
  TForm1(Dialogs& dialogs, ShellActions& shell, std::wstring designerFolder,
         bool quitOnClose = true);
  ~TForm1() override;

  // Creates the window (FormCreate) owned by the hidden application window, hidden.
  void Create(HWND applicationWindow);

  SetupProject StoreProject() const;
  void LoadProject(const SetupProject& project);

  void ListBox1Click();
  void HideAllPages();
  void ShowPage(int index);
  Page& PageAt(int index) const { return *pages_[static_cast<size_t>(index)]; }
  std::wstring StatusText() const { return Hints.Text(); }

  void N2Click();   // Файл > Выход
  void N4Click();   // Проект > Запуск
  void N6Click();   // Справка > Вызов справки
  void N8Click();   // Справка > О программе...
  void N10Click();  // Проект > Заполнить примером

  // The "Файл" menu's project commands. The save question comes first where
  // unsaved changes would be lost; the saves return false when nothing was saved.
  void NewProjectClick();     // Новый проект: the pages as a fresh designer has them
  void OpenProjectClick();    // Открыть проект…
  bool SaveProjectClick();    // Сохранить проект (Save as while there is no file)
  bool SaveProjectAsClick();  // Сохранить проект как…
  // Opens a project file as "Открыть проект…" does once it is chosen (and as a
  // project named on the command line is opened). False, with the error box and
  // the pages as they were, when the file is not a whole project.
  bool OpenProject(const std::wstring& path);
  // The file behind the pages: empty until one is opened or saved, and after
  // "Новый проект".
  const std::wstring& ProjectPath() const { return projectPath_; }
  // Whether the pages hold another project than the file does, the rows' sizes
  // aside, which the file does not keep (without a file: than the start state,
  // or the state "Новый проект" left).
  bool HasUnsavedChanges() const;
  // The caption: "Kovrin 1.4.1" without a file, else "<name>[*] - Kovrin 1.4.1".
  void UpdateTitle();
  // Ctrl+N, Ctrl+O, Ctrl+S, for the message loop.
  HACCEL Accelerators() const { return accelerators_; }
  void Label2Click();
  bool LinkHot() const { return linkHot_; }

  int CurrentPage = 0;
  DesignerState State;
  StatusHints Hints;
  PageContext Context;
  TFrame1 Frame11{Context};
  TFrame2 Frame21{Context};
  TFrame3 Frame31{Context};
  TFrame4 Frame41{Context};
  TFrame5 Frame51{Context};
  TFrame6 Frame61{Context};
  TFrame7 Frame71{Context};

  HWND Label1 = nullptr, ListBox1 = nullptr, Label2 = nullptr, StatusBar1 = nullptr;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static constexpr UINT kUpdateTitle = WM_APP + 1;

  static LRESULT CALLBACK LinkProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR data);
  void CreateMenuBar();
  void CreateControls();
  void SetLinkHot(bool hot);
  // The save question; true when the action may go on. `closing`: "Выход" and the
  // frame's close button, which never ask a designer that has had no file.
  bool MayDiscardChanges(bool closing);
  bool SaveTo(const std::wstring& path);
  // Gives the project its ProductCode if it has none yet.
  void EnsureProductCode();
  // The project the pages would save now, as far as the file holds it.
  SetupProject CurrentProject() const;
  // After anything that may have changed the pages: a title update, posted once.
  void ProjectMayHaveChanged();

  Dialogs& dialogs_;
  ShellActions& shell_;
  // Kept from the opened project: no page shows it, saving writes it back.
  std::wstring signCommand_;
  // Likewise; a project without one gets one at its first save or build.
  std::wstring productCode_;
  bool quitOnClose_;
  bool linkHot_ = false;
  std::array<Page*, 7> pages_;
  HACCEL accelerators_ = nullptr;  // a resource: freed with the program

  SetupProject startProject_;  // the pages as FormCreate left them
  std::wstring projectPath_;
  SetupProject savedProject_;  // CurrentProject() after the last open, save or new project
  bool hadFile_ = false;       // a file was opened or saved since the start
  bool titleUpdatePosted_ = false;
};
