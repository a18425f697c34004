#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  MessageBoxW(nullptr, L"Окно конструктора ещё не готово.", L"Kovrin 1.4.1", MB_OK | MB_ICONINFORMATION);
  return 0;
}
