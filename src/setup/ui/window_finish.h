#pragma once
// Page 7, shown after the install over the page list: "Установка завершена." and the
// three boxes the install shows as they apply.

#include <windows.h>

#include "win/Panel.h"

class TFrame7 final : public Panel {
 public:
  void Create(HWND parent);
  // Files wait for the restart: the page says so and the restart box is ticked.
  void ShowRestartToFinish(bool waiting);

  HWND Label1 = nullptr;  // "Установка завершена." or what the restart finishes
  HWND CheckBox1 = nullptr;  // visit the site
  HWND CheckBox2 = nullptr;  // start the installed program
  HWND CheckBox3 = nullptr;  // restart the computer
};
