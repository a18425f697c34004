#include "designer/ui/window_pack.h"

#include <commctrl.h>

#include "designer/WinRarPath.h"
#include "support/FileSystem.h"
#include "win/Layout.h"

void TFrame3::CreateControls() {
  CheckBox1 = AddCheckBox(
      L"Использовать сжатие c помощью WinRAR", 8, 0, 265,
      L"Использовать сжатие с помошью внешней программы WinRAR, если она есть на компьютере");
  Label2 = AddLabel(L"Путь к WinRAR.exe:", 8, 32, 200, L"Путь к WinRAR.exe");
  Edit1 = AddEdit(8, 48, 289, L"Путь к WinRAR.exe");
  Button1 = AddButton(L"...", 304, 46, 41, 25, L"Указать путь к файлу WinRAR.exe");
  Button2 = AddButton(L"Авто", 352, 46, 41, 25,
                      L"Автоматически найти путь к WinRAR, если он установлен на компьютере");
  Label1 = AddLabel(L"Метод сжатия:", 8, 88, 200, L"Выберите метод сжатия WinRAR");
  ComboBox1 = Add(WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 8, 104, 289, 160);
  for (const wchar_t* method :
       {L"Без сжатия", L"Скоростной", L"Быстрый", L"Обычный", L"Хороший", L"Максимальный"})
    SendMessageW(ComboBox1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(method));
  CheckBox2 = AddCheckBox(L"Сортировать файлы по расширению", 8, 144, 289);
  CheckBox3 = AddCheckBox(L"Встроенный упаковщик (один файл)", 8, 176, 289,
                          L"Упаковать установку в одну программу встроенным упаковщиком LZMA, "
                          L"без внешних программ");
  OnClick(CheckBox1, [this] { Frame31CheckBox1Click(); });
  OnClick(CheckBox3, [this] { Frame31CheckBox3Click(); });
  OnClick(Button1, [this] { Frame31Button1Click(); });
  OnClick(Button2, [this] { Frame31Button2Click(); });
  Load(SetupProject());
}

void TFrame3::Frame31CheckBox1Click() {
  bool use = IsChecked(CheckBox1);
  for (HWND control : {Label2, Button1, Button2, Label1, ComboBox1}) EnableWindow(control, use);
  Govern(Edit1, use);
  if (use && IsChecked(CheckBox3))
    SetBox(CheckBox3, false);
}

// The two ways to one file exclude each other; WinRAR keeps its settings for later.
void TFrame3::Frame31CheckBox3Click() {
  if (IsChecked(CheckBox3) && IsChecked(CheckBox1))
    SetBox(CheckBox1, false);
}

bool TFrame3::FindWinRarPath() {
  DesignerState& state = context_.state;
  const WinRarLookup lookup = ::FindWinRarPath();
  state.WinRarFound = lookup.Found;
  state.DetectedWinRarPath = lookup.Path;
  return lookup.Found;
}

void TFrame3::FillDetectedPath() {
  if (FindWinRarPath())
    SetText(Edit1, context_.state.DetectedWinRarPath);
}

void TFrame3::Frame31Button1Click() {
  if (FindWinRarPath())
    context_.dialogs.SetOpenFolder(FolderOf(context_.state.DetectedWinRarPath));
  std::vector<std::wstring> chosen;
  if (context_.dialogs.OpenFiles(GetAncestor(Handle(), GA_ROOT),
                                 DialogFilter(L"WinRAR.exe|WinRAR.exe"), false, chosen) &&
      !chosen.empty())
    SetText(Edit1, chosen.front());
}

void TFrame3::Frame31Button2Click() {
  if (FindWinRarPath())
    SetText(Edit1, context_.state.DetectedWinRarPath);
  else
    context_.dialogs.Ask(L"compression.winrar_not_found",
                         L"Программа WinRAR не найдена на вашем компьютере", L"Внимание!",
                         MB_OK | MB_ICONWARNING);
}

void TFrame3::Load(const SetupProject& project) {
  SetBox(CheckBox1, project.UseWinRar);
  SetText(Edit1, project.WinRarPath);
  SelectMethod(project.CompressionLevel);
  SetChecked(CheckBox2, project.SortByExtension);
  SetBox(CheckBox3, project.UseBuiltInPacker && !project.UseWinRar);
}

void TFrame3::Store(SetupProject& project) const {
  project.UseWinRar = IsChecked(CheckBox1);
  project.WinRarPath = GetText(Edit1);
  LRESULT method = SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0);
  project.CompressionLevel = method == CB_ERR ? 3 : static_cast<int>(method);
  project.SortByExtension = IsChecked(CheckBox2);
  project.UseBuiltInPacker = IsChecked(CheckBox3);
}
