#pragma once
// The designer's hidden application window: it carries the application title
// that a second instance looks for, and owns the main window and message boxes.

#include "win/Window.h"

class TApplicationWindow : public Window {
 public:
  void Create();
  void SetMainWindow(HWND main) { main_ = main; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND main_ = nullptr;
};
