#include "setup/ui/text_page.h"

#include <richedit.h>

#include "setup/ScriptLoading.h"
#include "setup/ui/page_area.h"
#include "win/Dialogs.h"
#include "win/Layout.h"
#include "win/RichTextBox.h"

void TextPage::Create(HWND parent, const std::wstring& caption) {
  PlaceWizardPage(*this, parent);
  CreateFittedLabel(Handle(), caption, 0, 4);
  RichEdit1 = CreateChild(Handle(), RichEditClassName(), L"",
                          WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY, 0, 24,
                          320, 215, 0, WS_EX_CLIENTEDGE);
  Memo1 = CreateChild(Handle(), L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                      0, 24, 320, 215, 0, WS_EX_CLIENTEDGE);
  SendMessageW(Memo1, EM_SETLIMITTEXT, 0, 0);
  SendMessageW(RichEdit1, EM_SETTARGETDEVICE, 0, 0);  // lines wrap at the viewer's width
  SetRichTextDefaultFont(RichEdit1, UiFont());
}

Status TextPage::LoadRichText(const std::wstring& path) {
  ShowWindow(Memo1, SW_HIDE);
  ShowWindow(RichEdit1, SW_SHOW);
  return LoadRichTextFile(RichEdit1, path);
}

Status TextPage::LoadPlainText(const std::wstring& path, const ScriptTextInfo& font) {
  ShowWindow(RichEdit1, SW_HIDE);
  ShowWindow(Memo1, SW_SHOW);
  const Expected<std::wstring> text = ::LoadPlainText(path);
  if (!text)
    return text.Error();
  SetText(Memo1, *text);
  plainFont_.Reset(CreateUiFont(font.FontName, font.FontSize));
  plainColor_ = ResolveColor(font.FontColor);
  SendMessageW(Memo1, WM_SETFONT, reinterpret_cast<WPARAM>(plainFont_.Get()), TRUE);
  return {};
}

HBRUSH TextPage::ControlColors(HWND control, HDC dc) {
  if (control != Memo1)
    return nullptr;
  // A read-only box keeps the window colour, as a text to read should.
  SetTextColor(dc, plainColor_);
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return GetSysColorBrush(COLOR_WINDOW);
}
