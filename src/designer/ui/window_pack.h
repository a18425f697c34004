#pragma once
// Compression page "Сжатие": WinRAR, its method, the sort by extension and the
// built-in single-file packer.

#include "designer/ui/page.h"
#include "formats/SetupProject.h"

class TFrame3 : public Page {
 public:
  using Page::Page;
  void Load(const SetupProject& project) override;
  void Store(SetupProject& project) const override;

  // Runs FindWinRarPath and keeps its result in the designer's state.
  bool FindWinRarPath();
  // At designer start: the path box takes the detected path when WinRAR is registered.
  void FillDetectedPath();
  void SelectMethod(int index) { SendMessageW(ComboBox1, CB_SETCURSEL, index, 0); }

  void Frame31CheckBox1Click();
  void Frame31Button1Click();    // "..."
  void Frame31Button2Click();    // "Авто"
  void Frame31CheckBox3Click();  // built-in packer

  HWND CheckBox1 = nullptr, Label2 = nullptr, Edit1 = nullptr, Button1 = nullptr, Button2 = nullptr;
  HWND Label1 = nullptr, ComboBox1 = nullptr, CheckBox2 = nullptr, CheckBox3 = nullptr;

 protected:
  void CreateControls() override;
};
