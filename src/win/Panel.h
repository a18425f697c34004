#pragma once
// The base of every page of both programs: a plain child window that hosts a page's
// controls, hands their commands and notifications to its handlers (by default up
// to the window that owns the page), and lets the page colour its own text boxes.

#include "win/Layout.h"
#include "win/Window.h"

class Panel : public Window {
 public:
  // A hidden child at a 96-DPI position, scaled; tab moves into its controls.
  void CreatePanel(HWND parent, int x, int y, int width, int height);
  void Show(bool visible) const { ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE); }
  // Its own visibility, whether or not the window that owns it is shown.
  bool Visible() const { return HasVisibleStyle(Handle()); }

 protected:
  // A control's command and notification; by default passed up to the owning window.
  virtual void OnCommand(int id, int code, HWND control);
  virtual LRESULT OnNotify(NMHDR* header);
  // WM_CTLCOLORSTATIC / WM_CTLCOLOREDIT of a control on the panel: a brush, or
  // nullptr for the default colours.
  virtual HBRUSH ControlColors(HWND /*control*/, HDC /*dc*/) { return nullptr; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
