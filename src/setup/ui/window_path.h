#pragma once
// Page 4 "Путь установки": the install-path box, the browse button and the two size lines.

#include <windows.h>

#include <string>

#include "setup/ScriptLoading.h"
#include "win/Panel.h"

class TFrame4 final : public Panel {
 public:
  void Create(HWND parent);
  void SetProgramSize(const std::wstring& text);
  void ShowFreeSpaceLine(const FreeSpaceLine& line);

  HWND Edit1 = nullptr;
  HWND Button1 = nullptr;  // "Обзор ..."
  HWND ProgramSizeLabel = nullptr;
  HWND ProgramSizeValue = nullptr;
  HWND FreeSpaceLabel = nullptr;
  HWND FreeSpaceValue = nullptr;

 private:
  void PlaceValue(HWND label, HWND value, const std::wstring& text);
};
