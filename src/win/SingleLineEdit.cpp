#include "win/SingleLineEdit.h"

#include <commctrl.h>

#include <string>

namespace {
constexpr UINT_PTR kSingleLineSubclass = 0x4B53;

bool IsControl(wchar_t c) {
  return c < 0x20 || c == 0x7f || c == 0x85 || c == 0x2028 || c == 0x2029;
}

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner))
    return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

LRESULT CALLBACK SingleLineProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                DWORD_PTR) {
  switch (message) {
    case WM_CHAR:
      // Backspace and the Ctrl shortcuts arrive as control characters too; only
      // those the box would insert are turned away.
      if (wParam == L'\t' || wParam == L'\n' || wParam == L'\r')
        return 0;
      break;
    case WM_PASTE: {
      std::wstring text = ClipboardText(edit);
      for (wchar_t& c : text)
        if (IsControl(c))
          c = L' ';
      SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, &SingleLineProc, id);
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}
}  // namespace

void KeepSingleLine(HWND edit) {
  SetWindowSubclass(edit, &SingleLineProc, kSingleLineSubclass, 0);
}
