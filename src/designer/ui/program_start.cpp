#include "designer/ui/program_start.h"

bool NoOtherInstance(Dialogs& dialogs, HWND running) {
  if (!running)
    return true;
  if (dialogs.Ask(L"designer.already_running", L"Программа уже запущена. Переключиться на нее?",
                  L"Проверка", MB_YESNO | MB_ICONWARNING) == IDYES) {
    ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
  }
  return false;
}

bool ScreenAccepted(Dialogs& dialogs, int screenWidth) {
  if (screenWidth >= 800)
    return true;
  return dialogs.Ask(L"designer.low_resolution",
                     L"Разрешение экрана меньше 800x600. Продолжить выполнение программы?",
                     L"Проверка", MB_YESNO | MB_ICONWARNING) == IDYES;
}
