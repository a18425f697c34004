#pragma once
// The status bar that explains the control under the mouse. Controls with a hint
// show it on mouse movement; controls attached without one leave the bar as it is;
// page backgrounds empty it (they call Show with an empty text).

#include <windows.h>

#include <list>
#include <optional>
#include <string>

class StatusHints {
 public:
  StatusHints() = default;
  StatusHints(const StatusHints&) = delete;
  StatusHints& operator=(const StatusHints&) = delete;
  ~StatusHints();

  void SetStatusBar(HWND bar) { bar_ = bar; }
  // Watches the control's mouse movement; no hint means "leave the bar alone".
  void Attach(HWND control, std::optional<std::wstring> hint);
  void Show(const std::wstring& text);
  std::wstring Text() const;

 private:
  struct Watched {
    StatusHints* owner;
    HWND control;
    std::optional<std::wstring> hint;
  };
  static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);
  HWND bar_ = nullptr;
  std::list<Watched> watched_;  // stable addresses for the subclass data
};
