#include "setup/ui/window_char.h"

#include <commctrl.h>

#include <algorithm>

#include "setup/ui/page_area.h"
#include "win/Layout.h"

void TFrame1::Create(HWND parent) {
  PlaceWizardPage(*this, parent);
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
