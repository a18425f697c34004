#pragma once
// The base of the seven project pages: a panel of the main window that creates
// its controls at 96-DPI positions, runs their click handlers, feeds the status
// bar, and paints governed text boxes in the window or the button-face colour.

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "designer/ui/status_hints.h"
#include "formats/SetupProject.h"
#include "win/Dialogs.h"
#include "win/Layout.h"
#include "win/Panel.h"

// What the main window keeps for its pages (besides the project in their controls).
struct DesignerState {
  std::wstring DesignerFolder;  // with a trailing "\"
  std::wstring FolderRoot;      // last "Добавить папку" choice
  std::wstring DetectedWinRarPath;
  bool WinRarFound = false;
};

struct PageContext {
  Dialogs& dialogs;
  StatusHints& hints;
  DesignerState& state;
  // Told after the author may have changed the project on a page (typed, clicked,
  // chose, renamed a row), once the control's handler has run.
  std::function<void()> edited;
};

class Page : public Panel {
 public:
  explicit Page(PageContext& context) : context_(context) {}
  // Creates the panel at a 96-DPI position inside `parent`, hidden, with its controls.
  void Create(HWND parent, int x, int y, int width, int height);
  // Moves the page's part of the project into its controls, and back.
  virtual void Load(const SetupProject& project) = 0;
  virtual void Store(SetupProject& project) const = 0;

  // Sets a check box from code and applies its rule, as a click does.
  void SetBox(HWND box, bool checked);
  // The colour a governed text box is painted in now.
  COLORREF BoxColor(HWND box) const;

 protected:
  virtual void CreateControls() = 0;
  // Runs `handler` when the control is clicked, and when SetBox sets it.
  void OnClick(HWND control, std::function<void()> handler);
  void OnCommand(int id, int code, HWND control) override;
  LRESULT OnNotify(NMHDR* /*header*/) override { return 0; }
  // Lets a page give a governed box its own text colour.
  virtual void PrepareBoxText(HWND /*box*/, HDC /*dc*/) {}
  HBRUSH ControlColors(HWND control, HDC dc) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // A child control; `hint` is its status-bar text (none: the bar stays as it is).
  HWND Add(const wchar_t* className, const std::wstring& text, DWORD style, int x, int y, int width,
           int height, std::optional<std::wstring> hint = std::nullopt, DWORD exStyle = 0);
  HWND AddButton(const std::wstring& text, int x, int y, int width, int height,
                 std::optional<std::wstring> hint = std::nullopt);
  HWND AddCheckBox(const std::wstring& text, int x, int y, int width,
                   std::optional<std::wstring> hint = std::nullopt);
  HWND AddLabel(const std::wstring& text, int x, int y, int width,
                std::optional<std::wstring> hint = std::nullopt);
  HWND AddEdit(int x, int y, int width, std::optional<std::wstring> hint = std::nullopt);

  // Window colour when true, button-face colour when false.
  void SetBoxColor(HWND box, bool windowColor);
  // The rule of governed boxes: enabled in the window colour, disabled in button face.
  void Govern(HWND box, bool enabled);

  PageContext& context_;

 private:
  std::map<HWND, bool> boxColors_;
  std::map<HWND, std::function<void()>> clicks_;
  int nextId_ = 100;
};
