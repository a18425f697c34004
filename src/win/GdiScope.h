#pragma once
// Owners for the two GDI states that are not a handle alone: a window's device
// context, which goes back to its window, and an object selected into a DC,
// which gives way to the one it replaced.

#include <windows.h>

// GetDC(window) until the end of the scope; nullptr for the screen.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_)
      ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC Get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// `object` selected into `dc` until the end of the scope, then the previous one
// again, so that the object can be deleted (or selected elsewhere) afterwards.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
