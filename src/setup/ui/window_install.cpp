#include "setup/ui/window_install.h"

#include <commctrl.h>

#include "setup/ui/page_area.h"
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
}  // namespace

void TFrame6::Create(HWND parent) {
  PlaceWidePage(*this, parent);
  Animate1 = CreateAnimation(Handle(), -8, kCopyFileClip, fileClip_);
  FileLabel = CreateChild(Handle(), L"STATIC", L"Копирование файла:",
                          WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 16, 64, 497, 13);
  ProgressBar1 = CreateBar(Handle(), 80);
  Animate2 = CreateAnimation(Handle(), 96, kCopyFilesClip, filesClip_);
  StageLabel = CreateChild(Handle(), L"STATIC", L"Копирование файлов...",
                           WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 16, 168, 497, 13);
  ProgressBar2 = CreateBar(Handle(), 184);
}

void TFrame6::Play(HWND animation) {
  if (!HasClip(animation) || Playing(animation))
    return;
  Playing(animation) =
      SendMessageW(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF)) != FALSE;
}

void TFrame6::Rewind(HWND animation) {
  if (!HasClip(animation))
    return;
  Playing(animation) = false;
  SendMessageW(animation, ACM_STOP, 0, 0);
  SendMessageW(animation, ACM_PLAY, 1, MAKELONG(0, 0));  // seek to the first frame
}
