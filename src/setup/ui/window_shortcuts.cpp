#include "setup/ui/window_shortcuts.h"

#include "setup/ui/page_area.h"
#include "win/Layout.h"

void TFrame5::Create(HWND parent) {
  PlaceWizardPage(*this, parent);
  CreateFittedLabel(Handle(), L"Выберите создаваемые ярлыки:", 0, 4);
  const DWORD style = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
  CheckBox1 =
      CreateChild(Handle(), L"BUTTON", L"Создать ярлыки на рабочем столе", style, 0, 40, 320, 17);
  CheckBox2 =
      CreateChild(Handle(), L"BUTTON", L"Создать ярлыки в меню \"Пуск\"", style, 0, 72, 320, 17);
  CheckBox3 =
      CreateChild(Handle(), L"BUTTON", L"Создать ярлыки в автозагрузке", style, 0, 104, 320, 17);
}
