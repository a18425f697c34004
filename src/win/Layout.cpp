#include "win/Layout.h"

#include <algorithm>

#include "win/GdiScope.h"

int SystemDpi() {
  static const int dpi = [] {
    const WindowDc screen(nullptr);
    const int value = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

int Scale(int pixels) {
  return MulDiv(pixels, SystemDpi(), 96);
}

HFONT CreateUiFont(const std::wstring& face, int points, bool bold, bool italic, bool underline,
                   bool strikeOut) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(points, SystemDpi(), 72);
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfStrikeOut = strikeOut;
  lf.lfCharSet = RUSSIAN_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

HFONT UiFont() {
  static const HFONT font = CreateUiFont(L"MS Sans Serif", 8);
  return font;
}

HFONT UiBoldFont() {
  static const HFONT font = CreateUiFont(L"MS Sans Serif", 8, true);
  return font;
}

HWND CreateChild(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                 int x, int y, int width, int height, int id, DWORD exStyle) {
  HWND child = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | style, Scale(x),
                               Scale(y), Scale(width), Scale(height), parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  if (child)
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
  return child;
}

SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, bool menu) {
  RECT rect{0, 0, Scale(width), Scale(height)};
  AdjustWindowRectEx(&rect, style, menu, exStyle);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

POINT CentredOnScreen(int windowWidth, int windowHeight) {
  return POINT{(GetSystemMetrics(SM_CXSCREEN) - windowWidth) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - windowHeight) / 2};
}

std::wstring GetText(HWND control) {
  int length = GetWindowTextLengthW(control);
  std::wstring text(length + 1, L'\0');
  text.resize(GetWindowTextW(control, text.data(), length + 1));
  return text;
}

void SetText(HWND control, const std::wstring& text) {
  SetWindowTextW(control, text.c_str());
}

SIZE TextExtent(HWND control, const std::wstring& text) {
  const WindowDc dc(control);
  const SelectedObject font(dc.Get(),
                            reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
  return extent;
}

void SetTextFitted(HWND label, const std::wstring& text) {
  SetWindowTextW(label, text.c_str());
  const SIZE size = TextExtent(label, text.empty() ? std::wstring(L" ") : text);
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

void FitCheckBoxToText(HWND box) {
  const int needed = TextExtent(box, GetText(box)).cx + GetSystemMetrics(SM_CXMENUCHECK) + Scale(8);
  RECT rect, parent;
  GetWindowRect(box, &rect);
  MapWindowPoints(nullptr, GetParent(box), reinterpret_cast<POINT*>(&rect), 2);
  GetClientRect(GetParent(box), &parent);
  if (needed > rect.right - rect.left)
    SetWindowPos(box, nullptr, 0, 0, std::min<int>(needed, parent.right - rect.left),
                 rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsChecked(HWND box) {
  return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND box, bool checked) {
  SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool HasVisibleStyle(HWND control) {
  return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}
