#pragma once
// Main page "Главная": product, company and the three paths of the project.

#include "designer/ui/page.h"
#include "formats/SetupProject.h"

class TFrame1 : public Page {
 public:
  using Page::Page;
  void Load(const SetupProject& project) override;
  void Store(SetupProject& project) const override;

  HWND LabeledEdit1 = nullptr;  // product name
  HWND LabeledEdit2 = nullptr;  // company name
  HWND LabeledEdit3 = nullptr;  // installation path
  HWND LabeledEdit4 = nullptr;  // setup file name
  HWND LabeledEdit5 = nullptr;  // output folder
  HWND LabeledEdit6 = nullptr;  // product version (the uninstall entry's DisplayVersion)

 protected:
  void CreateControls() override;

 private:
  HWND AddLabeledEdit(const std::wstring& caption, int top, const std::wstring& hint);
};
