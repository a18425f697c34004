#pragma once
// The designer's main window: page list, the seven pages, status-bar hints, the
// link to the maker's site and the menu. The project lives in the pages' controls;
// StoreProject and LoadProject move it to and from the SetupProject model.

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
  static LRESULT CALLBACK LinkProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR data);
  void CreateMenuBar();
  void CreateControls();
  void SetLinkHot(bool hot);

  Dialogs& dialogs_;
  ShellActions& shell_;
  bool quitOnClose_;
  bool linkHot_ = false;
  std::array<Page*, 7> pages_;
};
