#include "sfx/ui/ProgressWindow.h"

#include <commctrl.h>

#include "sfx/FixedText.h"

namespace {
constexpr wchar_t kWindowClass[] = L"KovrinSelfExtractor";
constexpr DWORD kShowAfterMs = 300;  // a quick unpack shows no window at all
constexpr DWORD kPumpEveryMs = 30;
constexpr int kBarRange = 1000;

// Layout at 96 DPI; scaled by the screen's DPI.
constexpr int kClientWidth = 360;
constexpr int kClientHeight = 104;
constexpr int kMargin = 12;

int Scale(int value, int dpi) {
  return MulDiv(value, dpi, 96);
}

void LabelText(FixedText<96>& text, int percent) {
  text.Append(L"Распаковка файлов программы установки... ");
  if (percent >= 100)
    text.Append(L'1');
  if (percent >= 10)
    text.Append(static_cast<wchar_t>(L'0' + percent / 10 % 10));
  text.Append(static_cast<wchar_t>(L'0' + percent % 10));
  text.Append(L'%');
}
}  // namespace

ProgressWindow::~ProgressWindow() {
  Close();
}

bool ProgressWindow::Create(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &ProgressWindow::Procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);

  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen)
    ReleaseDC(nullptr, screen);

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, Scale(kClientWidth, dpi), Scale(kClientHeight, dpi)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  window_ = CreateWindowExW(0, kWindowClass, kExtractorCaption, style,
                            (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                            (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                            nullptr, instance, this);
  if (!window_)
    return false;

  font_ = CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
  const int inner = Scale(kClientWidth - 2 * kMargin, dpi);
  FixedText<96> text;
  LabelText(text, 0);
  label_ = CreateWindowExW(0, L"STATIC", text.Get(), WS_CHILD | WS_VISIBLE | SS_LEFT,
                           Scale(kMargin, dpi), Scale(kMargin, dpi), inner, Scale(16, dpi), window_,
                           nullptr, instance, nullptr);
  bar_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH,
                         Scale(kMargin, dpi), Scale(36, dpi), inner, Scale(18, dpi), window_,
                         nullptr, instance, nullptr);
  HWND cancel = CreateWindowExW(
      0, L"BUTTON", L"Отмена", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
      Scale(kClientWidth - kMargin - 80, dpi), Scale(68, dpi), Scale(80, dpi), Scale(24, dpi),
      window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), instance, nullptr);
  for (HWND control : {label_, bar_, cancel})
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SendMessageW(bar_, PBM_SETRANGE32, 0, kBarRange);
  started_ = lastPump_ = GetTickCount();
  return true;
}

void ProgressWindow::Close() {
  if (window_) {
    DestroyWindow(window_);
    window_ = nullptr;
  }
  if (font_) {
    DeleteObject(font_);
    font_ = nullptr;
  }
}

void ProgressWindow::Progress(uint64_t done, uint64_t total) {
  if (!window_)
    return;
  const DWORD now = GetTickCount();
  if (now - lastPump_ < kPumpEveryMs)
    return;
  const int position = total == 0 ? kBarRange : static_cast<int>(done * kBarRange / total);
  SendMessageW(bar_, PBM_SETPOS, position, 0);
  if (position / 10 != shownPercent_) {
    shownPercent_ = position / 10;
    FixedText<96> text;
    LabelText(text, shownPercent_);
    SetWindowTextW(label_, text.Get());
  }
  if (!IsWindowVisible(window_) && now - started_ >= kShowAfterMs) {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
  }
  Pump();
}

bool ProgressWindow::Cancelled() {
  return cancelled_;
}

void ProgressWindow::Pump() {
  lastPump_ = GetTickCount();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (IsDialogMessageW(window_, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK ProgressWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE)) {
    self->cancelled_ = true;  // the unpacking loop stops at its next block
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
