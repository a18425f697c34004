#include "win/Panel.h"

#include "win/Layout.h"

void Panel::CreatePanel(HWND parent, int x, int y, int width, int height) {
  CreateWindowInstance(L"KovrinPanel", L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                       WS_EX_CONTROLPARENT, Scale(x), Scale(y), Scale(width), Scale(height),
                       parent);
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
      return SendMessageW(GetParent(Handle()), message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      if (HBRUSH brush =
              ControlColors(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
        return reinterpret_cast<LRESULT>(brush);
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}
