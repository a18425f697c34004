#include "win/Layout.h"

int SystemDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
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
