#include "win/ReportList.h"

#include "win/Layout.h"

void ReportList::Attach(HWND list, std::initializer_list<ReportColumn> columns, CellText cell,
                        Relabel relabel) {
  list_ = list;
  cell_ = std::move(cell);
  relabel_ = std::move(relabel);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
  int index = 0;
  for (const ReportColumn& column : columns) {
    LVCOLUMNW item{LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM};
    item.pszText = const_cast<wchar_t*>(column.caption);
    item.cx = Scale(column.width);
    item.iSubItem = index;
    ListView_InsertColumn(list_, index++, &item);
  }
}

LRESULT ReportList::Notify(NMHDR* header, size_t count) {
  if (header->hwndFrom != list_ ||
      (header->code != LVN_GETDISPINFOW && header->code != LVN_ENDLABELEDITW))
    return 0;
  LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
  const bool inRange = item.iItem >= 0 && static_cast<size_t>(item.iItem) < count;
  if (header->code == LVN_GETDISPINFOW) {
    if ((item.mask & LVIF_TEXT) && inRange) {
      cellText_ = cell_(static_cast<size_t>(item.iItem), item.iSubItem);
      item.pszText = cellText_.data();
    }
    return 0;
  }
  if (!item.pszText || !inRange)
    return FALSE;
  relabel_(static_cast<size_t>(item.iItem), item.pszText);
  return TRUE;
}
