#include "setup/ui/window_finish.h"

#include <string>

#include "setup/ui/page_area.h"
#include "win/Layout.h"

namespace {
constexpr wchar_t kFinishedText[] = L"Установка завершена.";
constexpr wchar_t kRestartToFinishText[] = L"Установка завершится после перезагрузки компьютера.";

// A finish-page box, hidden until the install shows it.
HWND CreateFinishBox(HWND parent, const std::wstring& caption, int y) {
  HWND box = CreateChild(parent, L"BUTTON", caption, WS_TABSTOP | BS_AUTOCHECKBOX, 40, y, 233, 17);
  FitCheckBoxToText(box);
  return box;
}
}  // namespace

void TFrame7::Create(HWND parent) {
  PlaceWidePage(*this, parent);
  Label1 = CreateFittedLabel(Handle(), kFinishedText, 16, 24);
  CheckBox1 = CreateFinishBox(Handle(), L"Зайти на зайт программы", 56);
  CheckBox2 = CreateFinishBox(Handle(), L"Запустить установленную программу", 88);
  CheckBox3 = CreateFinishBox(Handle(), L"Перезагрузить компьютер", 120);
}

void TFrame7::ShowRestartToFinish(bool waiting) {
  SetTextFitted(Label1, waiting ? kRestartToFinishText : kFinishedText);
  SendMessageW(CheckBox3, BM_SETCHECK, waiting ? BST_CHECKED : BST_UNCHECKED, 0);
}
