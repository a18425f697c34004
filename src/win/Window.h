#pragma once
// One thin window base: the static window procedure finds `this` through
// GWLP_USERDATA and calls HandleMessage; no exception ever leaves a window
// procedure, an escaped one is shown in the standard error box.

#include <windows.h>

#include <string>

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const noexcept { return hwnd_; }

 protected:
  // Registers `className` once (with this class's procedure) and creates the window.
  // Sizes are real pixels; use Scale() for 96-DPI layout values.
  HWND CreateWindowInstance(const wchar_t* className, const std::wstring& title, DWORD style,
                            DWORD exStyle, int x, int y, int width, int height, HWND parent,
                            HMENU menu = nullptr, HBRUSH background = nullptr);

  // Default handling is DefWindowProc; override and call Window::HandleMessage for the rest.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};
