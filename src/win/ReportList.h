#pragma once
// A report-style list view in owner-data mode: the rows stay in the page's own
// vector and the list view asks for each visible cell's text as it paints, so tens
// of thousands of rows cost no more than their text. The first column is the row's
// label, which the user may edit in place.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <string>

struct ReportColumn {
  const wchar_t* caption;
  int width;  // 96-DPI pixels
};

class ReportList {
 public:
  using CellText = std::function<std::wstring(size_t row, int column)>;
  using Relabel = std::function<void(size_t row, const wchar_t* label)>;

  // Takes over a list view made with LVS_REPORT | LVS_OWNERDATA: full-row
  // selection, the columns, and where cell texts come from and typed labels go.
  void Attach(HWND list, std::initializer_list<ReportColumn> columns, CellText cell,
              Relabel relabel);

  // The list's LVN_GETDISPINFOW and LVN_ENDLABELEDITW for rows below `count` (a
  // typed label is accepted, a cancelled edit is not); 0 for anything else.
  LRESULT Notify(NMHDR* header, size_t count);

 private:
  HWND list_ = nullptr;
  CellText cell_;
  Relabel relabel_;
  std::wstring cellText_;  // the cell the list view asked for last, kept alive for it
};
