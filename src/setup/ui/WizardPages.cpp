#include "setup/ui/WizardPages.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

#include "support/FileSystem.h"
#include "win/Dialogs.h"
#include "win/Layout.h"
#include "win/RichTextBox.h"

namespace {
void CreatePage(Panel& page, HWND parent) {
  page.CreatePanel(parent, kWizardPageLeft, kWizardPageTop, kWizardPageWidth, kWizardPageHeight);
}

}  // namespace

void TFrame1::Create(HWND parent) {
  CreatePage(*this, parent);
  CreateFittedLabel(Handle(), L"Общая характеристика программы:", 0, 4);
  ValueListEditor1 = CreateChild(
      Handle(), WC_LISTVIEWW, L"",
      WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER | LVS_SHOWSELALWAYS,
      0, 24, 320, 215, 0, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(ValueListEditor1, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  // A one-pixel-wide image list of the row height sets the rows to 16 pixels.
  HIMAGELIST rows = ImageList_Create(1, Scale(16), ILC_COLOR, 1, 0);
  ListView_SetImageList(ValueListEditor1, rows, LVSIL_SMALL);
  const wchar_t* names[] = {L"Название продукта:", L"Название компании:", L"Количество файлов:",
                            L"Общий размер:"};
  // The name column keeps its 114 pixels unless the system's font needs more for the names.
  int nameWidth = Scale(114);
  for (const wchar_t* name : names)
    nameWidth = std::max(nameWidth, ListView_GetStringWidth(ValueListEditor1, name) + Scale(14));
  const struct {
    const wchar_t* title;
    int width;
  } columns[] = {{L"Название", nameWidth}, {L"Значение", Scale(114 + 202) - nameWidth}};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(columns[i].title);
    column.cx = columns[i].width;
    ListView_InsertColumn(ValueListEditor1, i, &column);
  }
  for (int i = 0; i < 4; ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = const_cast<wchar_t*>(names[i]);
    ListView_InsertItem(ValueListEditor1, &item);
  }
}

void TFrame1::SetValue(Row row, const std::wstring& value) {
  ListView_SetItemText(ValueListEditor1, row, 1, const_cast<wchar_t*>(value.c_str()));
}

std::wstring TFrame1::Value(Row row) const {
  wchar_t text[1024] = {};
  ListView_GetItemText(ValueListEditor1, row, 1, text, 1024);
  return text;
}

void TextPage::Create(HWND parent, const std::wstring& caption) {
  CreatePage(*this, parent);
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

void TextPage::LoadRichText(const std::wstring& path) {
  ShowWindow(Memo1, SW_HIDE);
  ShowWindow(RichEdit1, SW_SHOW);
  LoadRichTextFile(RichEdit1, path);
}

void TextPage::LoadPlainText(const std::wstring& path, const ScriptFont& font) {
  ShowWindow(RichEdit1, SW_HIDE);
  ShowWindow(Memo1, SW_SHOW);
  SetText(Memo1, ::LoadPlainText(path));
  plainFont_.Reset(CreateUiFont(font.Name, font.Size));
  plainColor_ = ResolveColor(font.Color);
  SendMessageW(Memo1, WM_SETFONT, reinterpret_cast<WPARAM>(plainFont_.Get()), TRUE);
}

HBRUSH TextPage::ControlColors(HWND control, HDC dc) {
  if (control != Memo1)
    return nullptr;
  // A read-only box keeps the window colour, as a text to read should.
  SetTextColor(dc, plainColor_);
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return GetSysColorBrush(COLOR_WINDOW);
}

void TFrame4::Create(HWND parent) {
  CreatePage(*this, parent);
  CreateFittedLabel(Handle(), L"Выберите путь установки программы:", 0, 4);
  Edit1 = CreateChild(Handle(), L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 48, 240,
                      19, 0, WS_EX_CLIENTEDGE);
  Button1 = CreateChild(Handle(), L"BUTTON", L"Обзор ...", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                        245, 46, 75, 25);
  ProgramSizeLabel = CreateFittedLabel(Handle(), L"Размер программы:", 0, 88);
  ProgramSizeValue = CreateChild(Handle(), L"STATIC", L"0 байт",
                                 WS_VISIBLE | SS_RIGHT | SS_NOPREFIX, 120, 88, 121, 13);
  FreeSpaceLabel = CreateFittedLabel(Handle(), L"Свободно на диске:", 0, 104);
  FreeSpaceValue = CreateChild(Handle(), L"STATIC", L"0 байт", WS_VISIBLE | SS_RIGHT | SS_NOPREFIX,
                               120, 104, 121, 13);
}

void TFrame4::SetProgramSize(const std::wstring& text) {
  PlaceValue(ProgramSizeLabel, ProgramSizeValue, text);
}

void TFrame4::PlaceValue(HWND label, HWND value, const std::wstring& text) {
  // Right-aligned at 241 pixels as laid out; a wider system font must not let the
  // count run into its label, so then it moves right of the label instead.
  SetTextFitted(value, text);
  RECT labelRect, valueRect;
  GetWindowRect(label, &labelRect);
  GetWindowRect(value, &valueRect);
  MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&labelRect), 2);
  MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&valueRect), 2);
  const int width = valueRect.right - valueRect.left;
  const int left = std::max(Scale(120 + 121) - width, static_cast<int>(labelRect.right) + Scale(4));
  SetWindowPos(value, nullptr, left, valueRect.top, width, valueRect.bottom - valueRect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFrame4::ShowFreeSpaceLine(const FreeSpaceLine& line) {
  ShowWindow(FreeSpaceLabel, line.Visible ? SW_SHOW : SW_HIDE);
  if (!line.Visible) {
    ShowWindow(FreeSpaceValue, SW_HIDE);
    return;
  }
  SetTextFitted(FreeSpaceLabel, line.Label);
  if (line.ValueVisible)
    PlaceValue(FreeSpaceLabel, FreeSpaceValue, line.Value);
  ShowWindow(FreeSpaceValue, line.ValueVisible ? SW_SHOW : SW_HIDE);
}

void TFrame5::Create(HWND parent) {
  CreatePage(*this, parent);
  CreateFittedLabel(Handle(), L"Выберите создаваемые ярлыки:", 0, 4);
  const DWORD style = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
  CheckBox1 =
      CreateChild(Handle(), L"BUTTON", L"Создать ярлыки на рабочем столе", style, 0, 40, 320, 17);
  CheckBox2 =
      CreateChild(Handle(), L"BUTTON", L"Создать ярлыки в меню \"Пуск\"", style, 0, 72, 320, 17);
  CheckBox3 =
      CreateChild(Handle(), L"BUTTON", L"Создать ярлыки в автозагрузке", style, 0, 104, 320, 17);
}
