#include "setup/ui/InstallPages.h"

#include <commctrl.h>

#include <string>

#include "win/Layout.h"

namespace {
HWND CreateBar(HWND parent, int y) {
  HWND bar = CreateChild(parent, PROGRESS_CLASSW, L"", WS_VISIBLE | PBS_SMOOTH, 16, y, 497, 17);
  SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
  return bar;
}

// An animation control holding a shell32 clip; hidden when the clip is missing.
HWND CreateAnimation(HWND parent, int y, int clip, bool& opened) {
  HWND animation =
      CreateChild(parent, ANIMATE_CLASSW, L"", WS_VISIBLE | ACS_TRANSPARENT, 16, y, 0, 0);
  HMODULE shell = GetModuleHandleW(L"shell32.dll");
  opened = shell && SendMessageW(animation, ACM_OPENW, reinterpret_cast<WPARAM>(shell),
                                 reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(clip))) != 0;
  if (!opened)
    ShowWindow(animation, SW_HIDE);
  return animation;
}
// A finish-page box, hidden until the install shows it.
HWND CreateFinishBox(HWND parent, const std::wstring& caption, int y) {
  HWND box = CreateChild(parent, L"BUTTON", caption, WS_TABSTOP | BS_AUTOCHECKBOX, 40, y, 233, 17);
  FitCheckBoxToText(box);
  return box;
}
}  // namespace

void TFrame6::Create(HWND parent) {
  CreatePanel(parent, kWidePageLeft, kWidePageTop, kWidePageWidth, kWidePageHeight);
  Animate1 = CreateAnimation(Handle(), -8, kCopyFileClip, fileClip_);
  FileLabel = CreateChild(Handle(), L"STATIC", L"Копирование файла:",
                          WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 16, 64, 497, 13);
  ProgressBar1 = CreateBar(Handle(), 80);
  Animate2 = CreateAnimation(Handle(), 96, kCopyFilesClip, filesClip_);
  StageLabel = CreateChild(Handle(), L"STATIC", L"Копирование файлов...",
                           WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 16, 168, 497, 13);
  ProgressBar2 = CreateBar(Handle(), 184);
}

void TFrame6::Play(HWND animation) const {
  if (HasClip(animation))
    SendMessageW(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));
}

void TFrame6::Rewind(HWND animation) const {
  if (!HasClip(animation))
    return;
  SendMessageW(animation, ACM_STOP, 0, 0);
  SendMessageW(animation, ACM_PLAY, 1, MAKELONG(0, 0));  // seek to the first frame
}

void TFrame7::Create(HWND parent) {
  CreatePanel(parent, kWidePageLeft, kWidePageTop, kWidePageWidth, kWidePageHeight);
  CreateFittedLabel(Handle(), L"Установка завершена.", 16, 24);
  CheckBox1 = CreateFinishBox(Handle(), L"Зайти на зайт программы", 56);
  CheckBox2 = CreateFinishBox(Handle(), L"Запустить установленную программу", 88);
  CheckBox3 = CreateFinishBox(Handle(), L"Перезагрузить компьютер", 120);
}
