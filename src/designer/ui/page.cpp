#include "designer/ui/page.h"

#include <commctrl.h>
#include <richedit.h>

#include "win/Layout.h"
#include "win/RichTextBox.h"
#include "win/SingleLineEdit.h"

void Page::Create(HWND parent, int x, int y, int width, int height) {
  CreatePanel(parent, x, y, width, height);
  CreateControls();
}

void Page::OnClick(HWND control, std::function<void()> handler) {
  clicks_[control] = std::move(handler);
}

void Page::OnCommand(int, int code, HWND control) {
  auto found = clicks_.find(control);
  if (code == BN_CLICKED && found != clicks_.end())
    found->second();
}

void Page::SetBox(HWND box, bool checked) {
  SetChecked(box, checked);
  auto found = clicks_.find(box);
  if (found != clicks_.end())
    found->second();
}

HWND Page::Add(const wchar_t* className, const std::wstring& text, DWORD style, int x, int y,
               int width, int height, std::optional<std::wstring> hint, DWORD exStyle) {
  HWND control = CreateChild(Handle(), className, text, WS_VISIBLE | style, x, y, width, height,
                             nextId_++, exStyle);
  context_.hints.Attach(control, std::move(hint));
  return control;
}

HWND Page::AddButton(const std::wstring& text, int x, int y, int width, int height,
                     std::optional<std::wstring> hint) {
  return Add(WC_BUTTONW, text, WS_TABSTOP | BS_PUSHBUTTON, x, y, width, height, std::move(hint));
}

HWND Page::AddCheckBox(const std::wstring& text, int x, int y, int width,
                       std::optional<std::wstring> hint) {
  HWND box = Add(WC_BUTTONW, text, WS_TABSTOP | BS_AUTOCHECKBOX, x, y, width, 17, std::move(hint));
  FitCheckBoxToText(box);
  return box;
}

HWND Page::AddLabel(const std::wstring& text, int x, int y, int width,
                    std::optional<std::wstring> hint) {
  // SS_NOTIFY: the label takes the mouse itself, so passing over it never empties the bar.
  return Add(WC_STATICW, text, SS_NOTIFY | SS_LEFT, x, y, width, 13, std::move(hint));
}

HWND Page::AddEdit(int x, int y, int width, std::optional<std::wstring> hint) {
  HWND edit = Add(WC_EDITW, L"", WS_TABSTOP | ES_AUTOHSCROLL, x, y, width, 21, std::move(hint),
                  WS_EX_CLIENTEDGE);
  KeepSingleLine(edit);
  return edit;
}

void Page::SetBoxColor(HWND box, bool windowColor) {
  boxColors_[box] = windowColor;
  wchar_t className[32] = {};
  GetClassNameW(box, className, 32);
  if (lstrcmpiW(className, RichEditClassName()) == 0)
    SendMessageW(box, EM_SETBKGNDCOLOR, 0, GetSysColor(windowColor ? COLOR_WINDOW : COLOR_BTNFACE));
  InvalidateRect(box, nullptr, TRUE);
}

void Page::Govern(HWND box, bool enabled) {
  EnableWindow(box, enabled);
  SetBoxColor(box, enabled);
}

COLORREF Page::BoxColor(HWND box) const {
  auto found = boxColors_.find(box);
  bool window = found == boxColors_.end() ? true : found->second;
  return GetSysColor(window ? COLOR_WINDOW : COLOR_BTNFACE);
}

HBRUSH Page::ControlColors(HWND control, HDC dc) {
  auto found = boxColors_.find(control);
  if (found == boxColors_.end())
    return nullptr;
  const int colorIndex = found->second ? COLOR_WINDOW : COLOR_BTNFACE;
  SetBkColor(dc, GetSysColor(colorIndex));
  PrepareBoxText(control, dc);
  return GetSysColorBrush(colorIndex);
}

namespace {
// The notices after which a page's part of the project may differ: typing, a
// click (buttons run their handler first), a choice in a list, a renamed row.
bool MayHaveEdited(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && lParam) {
    const int code = HIWORD(wParam);
    return code == EN_CHANGE || code == BN_CLICKED || code == CBN_SELCHANGE;
  }
  if (message == WM_NOTIFY) {
    const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
    return code == LVN_ENDLABELEDITW || code == LVN_ENDLABELEDITA;
  }
  return false;
}
}  // namespace

LRESULT Page::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEMOVE) {
    context_.hints.Show(L"");
    return 0;
  }
  const LRESULT result = Panel::HandleMessage(message, wParam, lParam);
  if (context_.edited && MayHaveEdited(message, wParam, lParam))
    context_.edited();
  return result;
}
