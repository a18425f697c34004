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
  list_.Attach(
      ListView1,
      {{L"Имя ярлыка", 79},
       {L"Папка создания", 79},
       {L"Имя файла", 79},
       {L"Параметры", 79},
       {L"Путь к файлу", 79}},
      [this](size_t row, int column) {
        const ShortcutEntry& entry = rows_[row];
        const std::wstring* fields[] = {&entry.ShortCutName, &entry.ShortCutSavePath,
                                        &entry.ShortCutFileName, &entry.ShortCutParams,
                                        &entry.ShortCutFilePath};
        return column >= 0 && column < 5 ? *fields[column] : std::wstring();
      },
      [this](size_t row, const wchar_t* name) { rows_[row].ShortCutName = name; });
  OnClick(Button1, [this] { Frame61Button1Click(); });
  OnClick(Button2, [this] { Frame61Button2Click(); });
  OnClick(Button3, [this] { Frame61Button3Click(); });
}

LRESULT TFrame6::OnNotify(NMHDR* header) {
  if (header->hwndFrom == ListView1 && header->code == NM_CLICK)
    Frame61ListView1Click();
  return list_.Notify(header, rows_.size());
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
  editor.ShowModal();
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
  editor.ShowModal();
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
  if (context_.dialogs.Ask(L"shortcuts.delete", question, L"Удаление", MB_YESNO | MB_ICONWARNING) ==
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
