#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  MessageBoxW(nullptr, L"Программа удаления ещё не готова.", L"Удаление программы", MB_OK | MB_ICONINFORMATION);
  return 0;
}
