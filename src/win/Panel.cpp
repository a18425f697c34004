#include "win/Panel.h"

void Panel::CreatePanel(HWND parent, int x, int y, int width, int height) {
  CreateWindowInstance(L"KovrinPanel", L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                       WS_EX_CONTROLPARENT, Scale(x), Scale(y), Scale(width), Scale(height),
                       parent);
}

void Panel::OnCommand(int id, int code, HWND control) {
  SendMessageW(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(id, code),
               reinterpret_cast<LPARAM>(control));
}

LRESULT Panel::OnNotify(NMHDR* header) {
  return SendMessageW(GetParent(Handle()), WM_NOTIFY, header->idFrom,
                      reinterpret_cast<LPARAM>(header));
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam)
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      if (HBRUSH brush =
              ControlColors(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
        return reinterpret_cast<LRESULT>(brush);
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}
