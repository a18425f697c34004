#pragma once
// Page 5 "Ярлыки": which kinds of shortcut to create.

#include <windows.h>

#include "win/Panel.h"

class TFrame5 final : public Panel {
 public:
  void Create(HWND parent);

  HWND CheckBox1 = nullptr;  // desktop
  HWND CheckBox2 = nullptr;  // Start menu
  HWND CheckBox3 = nullptr;  // startup
};
