#pragma once
// Page 1 "Характеристика": the read-only name/value grid of the product's characteristics.

#include <windows.h>

#include <string>

#include "win/Panel.h"

class TFrame1 final : public Panel {
 public:
  enum Row { kProductName, kCompanyName, kFileCount, kTotalSize };
  void Create(HWND parent);
  void SetValue(Row row, const std::wstring& value);
  std::wstring Value(Row row) const;

  HWND ValueListEditor1 = nullptr;
};
