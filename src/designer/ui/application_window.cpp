#include "designer/ui/application_window.h"

#include "designer/Product.h"

namespace {
constexpr UINT kRestoreMain = WM_APP + 1;
}

void TApplicationWindow::Create() {
  CreateWindowInstance(L"KovrinApplication", kApplicationTitle, WS_POPUP, 0, 0, 0, 0, 0, nullptr);
}

LRESULT TApplicationWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SHOWWINDOW:
      // A second instance restores this window: bring the main window back instead.
      if (wParam)
        PostMessageW(Handle(), kRestoreMain, 0, 0);
      break;
    case kRestoreMain:
      ShowWindow(Handle(), SW_HIDE);
      if (main_ && IsWindow(main_)) {
        ShowWindow(main_, IsIconic(main_) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(main_);
      }
      return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}
