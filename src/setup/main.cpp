#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  MessageBoxW(nullptr, L"Программа установки ещё не готова.", L"Установка программы", MB_OK | MB_ICONINFORMATION);
  return 0;
}
