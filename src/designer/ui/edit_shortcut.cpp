#include "designer/ui/edit_shortcut.h"

#include <commctrl.h>

#include "formats/LinkFolders.h"
#include "support/Strings.h"
#include "win/Layout.h"
#include "win/MessagePump.h"
#include "win/SingleLineEdit.h"

namespace {
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// Not IDOK/IDCANCEL: Enter and Escape have no dialog-wide meaning here.
constexpr int kOkId = 201;
constexpr int kCancelId = 202;
constexpr int kFolderListId = 203;
constexpr int kOtherIndex = 3;

HWND AddLabeledEdit(HWND parent, const std::wstring& caption, int top, int id) {
  CreateChild(parent, WC_STATICW, caption, WS_VISIBLE | SS_LEFT, 8, top - 16, 377, 13);
  HWND edit = CreateChild(parent, WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 8, top,
                          377, 21, id, WS_EX_CLIENTEDGE);
  KeepSingleLine(edit);
  return edit;
}
}  // namespace

void TForm2::Create(HWND owner) {
  owner_ = owner;
  SIZE size = WindowSizeForClient(392, 316, kStyle, kExStyle, false);
  POINT at = CentredOnScreen(size.cx, size.cy);  // FormCreate
  CreateWindowInstance(L"KovrinShortcutEditor", L"Добавление ярлыка", kStyle, kExStyle, at.x, at.y,
                       size.cx, size.cy, owner);
  HWND self = Handle();
  Label1 =
      CreateChild(self, WC_STATICW, L"Создать ярлык в папке:", WS_VISIBLE | SS_LEFT, 8, 8, 200, 13);
  // Created in the tab order: folder list, free path, name, file, parameters, working folder, OK,
  // Cancel.
  ComboBox1 =
      CreateChild(self, WC_COMBOBOXW, L"", WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL,
                  8, 24, 137, 120, kFolderListId);
  for (const wchar_t* entry :
       {L"Рабочий стол", L"Пуск > Программы", L"Пуск > Автозагрузка", L"Другой:"})
    SendMessageW(ComboBox1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  SendMessageW(ComboBox1, CB_SETCURSEL, 0, 0);
  Edit1 = CreateChild(self, WC_EDITW, L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 152, 24, 233,
                      21, 204, WS_EX_CLIENTEDGE);
  KeepSingleLine(Edit1);
  SetFreePathEnabled(false);
  LabeledEdit1 = AddLabeledEdit(self, L"Имя ярлыка:", 72, 205);
  LabeledEdit2 = AddLabeledEdit(self, L"Имя запускаемого файла:", 120, 206);
  LabeledEdit4 = AddLabeledEdit(self, L"Параметры запуска:", 168, 207);
  LabeledEdit3 = AddLabeledEdit(self, L"Путь к рабочей папке:", 216, 208);
  Button1 = CreateChild(self, WC_BUTTONW, L"ОК", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 224, 280,
                        75, 25, kOkId);
  Button2 = CreateChild(self, WC_BUTTONW, L"Отмена", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 304,
                        280, 75, 25, kCancelId);
}

void TForm2::SetFreePathEnabled(bool enabled) {
  EnableWindow(Edit1, enabled);
  freePathWindowColor_ = enabled;
  InvalidateRect(Edit1, nullptr, TRUE);
}

void TForm2::ComboBox1Change() {
  SetFreePathEnabled(SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0) == kOtherIndex);
}

void TForm2::FillFrom(const ShortcutEntry& entry) {
  SetText(LabeledEdit1, entry.ShortCutName);
  SetFreePathEnabled(false);
  int index = kOtherIndex;
  for (int i = 0; i < kOtherIndex; ++i) {
    if (EqualNoCase(entry.ShortCutSavePath, kLinkFolderTokens[i])) {
      index = i;
      break;
    }
  }
  SendMessageW(ComboBox1, CB_SETCURSEL, index, 0);
  if (index == kOtherIndex) {
    SetFreePathEnabled(true);
    SetText(Edit1, entry.ShortCutSavePath);
  }
  SetText(LabeledEdit2, entry.ShortCutFileName);
  SetText(LabeledEdit4, entry.ShortCutParams);
  SetText(LabeledEdit3, entry.ShortCutFilePath);
}

ShortcutEntry TForm2::Read() const {
  ShortcutEntry entry;
  entry.ShortCutName = GetText(LabeledEdit1);
  LRESULT index = SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0);
  entry.ShortCutSavePath =
      index >= 0 && index < kOtherIndex ? std::wstring(kLinkFolderTokens[index]) : GetText(Edit1);
  entry.ShortCutFileName = GetText(LabeledEdit2);
  entry.ShortCutParams = GetText(LabeledEdit4);
  entry.ShortCutFilePath = GetText(LabeledEdit3);
  return entry;
}

void TForm2::Button1Click() {
  Cancelled = false;
  closed_ = true;
  ShowWindow(Handle(), SW_HIDE);
}

void TForm2::Button2Click() {
  Cancelled = true;
  closed_ = true;
  ShowWindow(Handle(), SW_HIDE);
}

void TForm2::ShowModal() {
  {
    ModalLoop modal(Handle(), owner_);
    ShowWindow(Handle(), SW_SHOW);
    SetFocus(ComboBox1);
    modal.Run(closed_);
  }
  if (IsWindow(Handle()))
    ShowWindow(Handle(), SW_HIDE);
  if (owner_)
    SetActiveWindow(owner_);
}

LRESULT TForm2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kOkId && HIWORD(wParam) == BN_CLICKED)
        Button1Click();
      else if (LOWORD(wParam) == kCancelId && HIWORD(wParam) == BN_CLICKED)
        Button2Click();
      else if (LOWORD(wParam) == kFolderListId && HIWORD(wParam) == CBN_SELCHANGE)
        ComboBox1Change();
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == Edit1) {
        int color = freePathWindowColor_ ? COLOR_WINDOW : COLOR_BTNFACE;
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(color));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(color));
      }
      break;
    case WM_CLOSE:
      // The title-bar button closes without touching Cancelled: the entry is kept.
      closed_ = true;
      ShowWindow(Handle(), SW_HIDE);
      return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}
