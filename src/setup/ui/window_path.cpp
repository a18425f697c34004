#include "setup/ui/window_path.h"

#include <algorithm>

#include "setup/ui/page_area.h"
#include "win/Layout.h"

void TFrame4::Create(HWND parent) {
  PlaceWizardPage(*this, parent);
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
