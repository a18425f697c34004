#include "designer/ui/window_shortcut.h"

#include <commctrl.h>

#include "designer/ui/edit_shortcut.h"
#include "win/Layout.h"

void TFrame6::CreateControls() {
  Button1 = AddButton(L"Добавить ярлык", 8, 0, 121, 25, L"Добавить ярлык в список");
  Button2 =
      AddButton(L"Редактировать", 8, 32, 121, 25, L"Редактировать параметры выделеного ярлыка");
  Button3 = AddButton(L"Удалить", 8, 64, 121, 25, L"Удалить выделеный ярлык");
  EnableWindow(Button2, FALSE);
  EnableWindow(Button3, FALSE);
  ListView1 = Add(WC_LISTVIEWW, L"",
                  WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                      LVS_EDITLABELS | LVS_NOSORTHEADER,
                  0, 104, 400, 169, L"Список ярлыков", WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(ListView1, LVS_EX_FULLROWSELECT);
  const wchar_t* captions[] = {L"Имя ярлыка", L"Папка создания", L"Имя файла", L"Параметры",
                               L"Путь к файлу"};
  for (int i = 0; i < 5; ++i) {
    LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM};
    column.pszText = const_cast<wchar_t*>(captions[i]);
    column.cx = Scale(79);
    column.iSubItem = i;
    ListView_InsertColumn(ListView1, i, &column);
  }
}

void TFrame6::OnCommand(int, int code, HWND control) {
  if (code != BN_CLICKED)
    return;
  if (control == Button1)
    Frame61Button1Click();
  else if (control == Button2)
    Frame61Button2Click();
  else if (control == Button3)
    Frame61Button3Click();
}

LRESULT TFrame6::OnNotify(NMHDR* header) {
  if (header->hwndFrom != ListView1)
    return 0;
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      if (!(info->item.mask & LVIF_TEXT) || info->item.iItem < 0 ||
          info->item.iItem >= static_cast<int>(rows_.size()))
        return 0;
      const ShortcutEntry& row = rows_[static_cast<size_t>(info->item.iItem)];
      const std::wstring* fields[] = {&row.ShortCutName, &row.ShortCutSavePath,
                                      &row.ShortCutFileName, &row.ShortCutParams,
                                      &row.ShortCutFilePath};
      cellText_ =
          info->item.iSubItem >= 0 && info->item.iSubItem < 5 ? *fields[info->item.iSubItem] : L"";
      info->item.pszText = cellText_.data();
      return 0;
    }
    case LVN_ENDLABELEDITW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      if (info->item.pszText && info->item.iItem >= 0 &&
          info->item.iItem < static_cast<int>(rows_.size())) {
        rows_[static_cast<size_t>(info->item.iItem)].ShortCutName = info->item.pszText;
        return TRUE;
      }
      return FALSE;
    }
    case NM_CLICK:
      Frame61ListView1Click();
      return 0;
  }
  return 0;
}

int TFrame6::Selected() const {
  return ListView_GetNextItem(ListView1, -1, LVNI_SELECTED);
}

void TFrame6::Select(int index) {
  ListView_SetItemState(ListView1, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (index >= 0)
    ListView_SetItemState(ListView1, index, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
}

void TFrame6::SyncItemCount() {
  ListView_SetItemCountEx(ListView1, static_cast<int>(rows_.size()), LVSICF_NOSCROLL);
  InvalidateRect(ListView1, nullptr, TRUE);
}

void TFrame6::AppendRow(const ShortcutEntry& entry) {
  rows_.push_back(entry);
  SyncItemCount();
}

void TFrame6::Frame61Button1Click() {
  TForm2 editor;
  editor.Create(GetAncestor(Handle(), GA_ROOT));
  editor.ShowModal(context_.editorShown);
  if (editor.Cancelled)
    return;
  AppendRow(editor.Read());
}

void TFrame6::Frame61Button2Click() {
  int index = Selected();
  if (index < 0 || index >= static_cast<int>(rows_.size()))
    return;
  TForm2 editor;
  editor.Create(GetAncestor(Handle(), GA_ROOT));
  editor.FillFrom(rows_[static_cast<size_t>(index)]);
  editor.ShowModal(context_.editorShown);
  if (editor.Cancelled || index >= static_cast<int>(rows_.size()))
    return;
  rows_[static_cast<size_t>(index)] = editor.Read();
  InvalidateRect(ListView1, nullptr, TRUE);
}

void TFrame6::Frame61Button3Click() {
  int index = Selected();
  if (index < 0 || index >= static_cast<int>(rows_.size()))
    return;
  std::wstring question = L"Вы действительно хотите удалить запись \"" +
                          rows_[static_cast<size_t>(index)].ShortCutName + L"\" ?";
  if (context_.dialogs.Ask(L"DeleteShortcut", question, L"Удаление", MB_YESNO | MB_ICONWARNING) ==
      IDYES) {
    Select(-1);
    rows_.erase(rows_.begin() + index);
    SyncItemCount();
  }
  Frame61ListView1Click();
}

void TFrame6::Frame61ListView1Click() {
  bool selected = Selected() >= 0;
  EnableWindow(Button2, selected);
  EnableWindow(Button3, selected);
}

void TFrame6::Load(const SetupProject& project) {
  Select(-1);
  rows_ = project.Shortcuts;
  SyncItemCount();
  Frame61ListView1Click();
}

void TFrame6::Store(SetupProject& project) const {
  project.Shortcuts = rows_;
}
