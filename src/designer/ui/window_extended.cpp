#include "designer/ui/window_extended.h"

#include "win/Layout.h"

void TFrame7::CreateControls() {
  CheckBox1 = AddCheckBox(L"Выводить надпись о перезагрузке.", 16, 0, 201,
                          L"Выводить надпись \"Перезагрузить компьютер\" после установки");
  CheckBox2 = AddCheckBox(
      L"Не выводить, но запрашивать.", 32, 24, 185,
      L"Выводить запрос \"Перезагрузить компьютер ?\" после нажатия на кнопку \"Готово\"");
  CheckBox3 = AddCheckBox(L"Выводить надпись о запуске программы (путь к программе):", 16, 56, 337,
                          L"Выводить надпись \"Запустить программу\" после установки");
  Edit1 = AddEdit(32, 80, 353, L"Путь к запускаемой программе");
  CheckBox4 = AddCheckBox(L"Выводит надпись о посещении сайта (адрес сайта):", 16, 112, 289,
                          L"Выводить надпись \"Зайти на сайт\" после установки");
  Edit2 = AddEdit(32, 136, 353, L"URL-адрес сайта");
  CheckBox5 = AddCheckBox(L"Создавать деинсталятор", 16, 192, 153,
                          L"Создавать деинсталятор для возможности быстрого удаления продукта");
  EnableWindow(CheckBox2, FALSE);
  Govern(Edit1, false);
  Govern(Edit2, false);
  OnClick(CheckBox1, [this] { Frame71CheckBox1Click(); });
  OnClick(CheckBox3, [this] { Frame71CheckBox3Click(); });
  OnClick(CheckBox4, [this] { Frame71CheckBox4Click(); });
}

void TFrame7::Frame71CheckBox1Click() {
  if (IsChecked(CheckBox1)) {
    EnableWindow(CheckBox2, TRUE);
    SetBox(CheckBox3, false);
    SetBox(CheckBox4, false);
  } else {
    EnableWindow(CheckBox2, FALSE);
    SetChecked(CheckBox2, false);
  }
}

void TFrame7::Frame71CheckBox3Click() {
  bool run = IsChecked(CheckBox3);
  Govern(Edit1, run);
  if (run)
    SetBox(CheckBox1, false);
}

void TFrame7::Frame71CheckBox4Click() {
  bool site = IsChecked(CheckBox4);
  Govern(Edit2, site);
  if (site)
    SetBox(CheckBox1, false);
}

void TFrame7::Load(const SetupProject& project) {
  // The restart box first: ticking it clears the two others, which come after.
  SetBox(CheckBox1, project.UseReboot);
  SetChecked(CheckBox2, project.AskToReboot && project.UseReboot);
  SetBox(CheckBox3, project.UseRun);
  SetBox(CheckBox4, project.UseGoSite);
  SetText(Edit1, project.RunFileName);
  SetText(Edit2, project.SiteAddress);
  SetChecked(CheckBox5, project.UseUninstall);
}

void TFrame7::Store(SetupProject& project) const {
  project.UseReboot = IsChecked(CheckBox1);
  project.AskToReboot = IsChecked(CheckBox2);
  project.UseRun = IsChecked(CheckBox3);
  project.RunFileName = GetText(Edit1);
  project.UseGoSite = IsChecked(CheckBox4);
  project.SiteAddress = GetText(Edit2);
  project.UseUninstall = IsChecked(CheckBox5);
}
