#include "designer/ui/status_hints.h"

#include <commctrl.h>

namespace {
constexpr UINT_PTR kHintSubclass = 0x4B48;  // "KH"
}

StatusHints::~StatusHints() {
  for (Watched& watched : watched_)
    if (IsWindow(watched.control))
      RemoveWindowSubclass(watched.control, &StatusHints::ControlProc, kHintSubclass);
}

void StatusHints::Attach(HWND control, std::optional<std::wstring> hint) {
  if (!control)
    return;
  watched_.push_back(Watched{this, control, std::move(hint)});
  SetWindowSubclass(control, &StatusHints::ControlProc, kHintSubclass,
                    reinterpret_cast<DWORD_PTR>(&watched_.back()));
}

void StatusHints::Show(const std::wstring& text) {
  if (bar_)
    SendMessageW(bar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring StatusHints::Text() const {
  if (!bar_)
    return {};
  int length = LOWORD(SendMessageW(bar_, SB_GETTEXTLENGTHW, 0, 0));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(bar_, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

LRESULT CALLBACK StatusHints::ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR data) {
  auto* watched = reinterpret_cast<Watched*>(data);
  if (message == WM_MOUSEMOVE && watched->hint)
    watched->owner->Show(*watched->hint);
  if (message == WM_NCDESTROY)
    RemoveWindowSubclass(control, &StatusHints::ControlProc, kHintSubclass);
  return DefSubclassProc(control, message, wParam, lParam);
}
