#include "designer/ui/window_main.h"

#include "win/Layout.h"

HWND TFrame1::AddLabeledEdit(const std::wstring& caption, int top, const std::wstring& hint) {
  AddLabel(caption, 8, top - 16, 385);
  return AddEdit(8, top, 385, hint);
}

void TFrame1::CreateControls() {
  // Created in the tab order: product, company, setup file name, output folder, product
  // version, installation path.
  LabeledEdit1 = AddLabeledEdit(L"Название продукта:", 16,
                                L"Название вашего продукта вместе с версией. (%ProductName%)");
  LabeledEdit2 =
      AddLabeledEdit(L"Название компании:", 64, L"Название вашей компании. (%CompanyName%)");
  LabeledEdit4 = AddLabeledEdit(L"Имя файла по умолчанию:", 160,
                                L"Имя файла, который будет запускать установку.");
  LabeledEdit5 = AddLabeledEdit(L"Папка для установочной программы:", 208,
                                L"Имя папки, куда будей записана установочная программа.");
  LabeledEdit6 = AddLabeledEdit(L"Версия продукта:", 256,
                                L"Версия вашего продукта для списка установленных программ.");
  LabeledEdit3 =
      AddLabeledEdit(L"Путь установки программы:", 112,
                     L"Путь по умолчанию, куда будет установлен продукт. (%InstallPath%)");
  Load(SetupProject());
}

void TFrame1::Load(const SetupProject& project) {
  SetText(LabeledEdit1, project.ProgramName);
  SetText(LabeledEdit2, project.CompanyName);
  SetText(LabeledEdit3, project.InstallPath);
  SetText(LabeledEdit4, project.SetupFileName);
  SetText(LabeledEdit5, project.OutputFolder);
  SetText(LabeledEdit6, project.ProductVersion);
}

void TFrame1::Store(SetupProject& project) const {
  project.ProgramName = GetText(LabeledEdit1);
  project.CompanyName = GetText(LabeledEdit2);
  project.InstallPath = GetText(LabeledEdit3);
  project.SetupFileName = GetText(LabeledEdit4);
  project.OutputFolder = GetText(LabeledEdit5);
  project.ProductVersion = GetText(LabeledEdit6);
}
