#pragma once
// Extended page "Дополнительно": what the setup program offers at its end. The
// restart notice excludes the two others; starting the program and visiting the
// site may go together.

#include "designer/ui/page.h"
#include "formats/SetupProject.h"

class TFrame7 : public Page {
 public:
  using Page::Page;
  void Load(const SetupProject& project) override;
  void Store(SetupProject& project) const override;

  void Frame71CheckBox1Click();  // restart notice
  void Frame71CheckBox3Click();  // start the program
  void Frame71CheckBox4Click();  // visit the site

  HWND CheckBox1 = nullptr, CheckBox2 = nullptr, CheckBox3 = nullptr, CheckBox4 = nullptr,
       CheckBox5 = nullptr;
  HWND Edit1 = nullptr, Edit2 = nullptr;

 protected:
  void CreateControls() override;
};
