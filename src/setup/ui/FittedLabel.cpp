#include "setup/ui/FittedLabel.h"

#include "win/Layout.h"

int TextWidth(HWND control, const std::wstring& text) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

void SetTextFitted(HWND label, const std::wstring& text) {
  SetWindowTextW(label, text.c_str());
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  SIZE size{};
  // An empty label keeps the height of one line.
  const std::wstring measured = text.empty() ? std::wstring(L" ") : text;
  GetTextExtentPoint32W(dc, measured.c_str(), static_cast<int>(measured.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  SetWindowPos(label, nullptr, 0, 0, text.empty() ? 0 : size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateFittedLabel(HWND parent, const std::wstring& text, int x, int y, HFONT font) {
  HWND label = CreateChild(parent, L"STATIC", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, x, y, 1, 1);
  if (font)
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetTextFitted(label, text);
  return label;
}
