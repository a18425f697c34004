#pragma once
// A plain child window that hosts a page's controls: it passes their commands
// and notifications up to the window that owns the page, and lets the page
// colour its own read-only text boxes.

#include "win/Layout.h"
#include "win/Window.h"

class Panel : public Window {
 public:
  // A hidden child at a 96-DPI position, scaled; tab moves into its controls.
  void CreatePanel(HWND parent, int x, int y, int width, int height);
  void Show(bool visible) const { ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE); }
  bool Visible() const { return HasVisibleStyle(Handle()); }

 protected:
  // WM_CTLCOLORSTATIC / WM_CTLCOLOREDIT of a control on the panel: a brush, or
  // nullptr for the default colours.
  virtual HBRUSH ControlColors(HWND /*control*/, HDC /*dc*/) { return nullptr; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
