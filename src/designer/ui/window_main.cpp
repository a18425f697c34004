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

namespace {
// Which box holds which text of the project.
struct BoxField {
  HWND TFrame1::*box;
  std::wstring SetupProject::*field;
};
constexpr BoxField kBoxFields[] = {
    {&TFrame1::LabeledEdit1, &SetupProject::ProgramName},
    {&TFrame1::LabeledEdit2, &SetupProject::CompanyName},
    {&TFrame1::LabeledEdit3, &SetupProject::InstallPath},
    {&TFrame1::LabeledEdit4, &SetupProject::SetupFileName},
    {&TFrame1::LabeledEdit5, &SetupProject::OutputFolder},
    {&TFrame1::LabeledEdit6, &SetupProject::ProductVersion},
};
}  // namespace

void TFrame1::Load(const SetupProject& project) {
  for (const BoxField& pair : kBoxFields) SetText(this->*pair.box, project.*pair.field);
}

void TFrame1::Store(SetupProject& project) const {
  for (const BoxField& pair : kBoxFields) project.*pair.field = GetText(this->*pair.box);
}
