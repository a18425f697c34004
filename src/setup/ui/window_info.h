#pragma once
// Page 3 "Информация": the information text.

#include "setup/ui/text_page.h"

class TFrame3 final : public TextPage {
 public:
  void Create(HWND parent) { TextPage::Create(parent, L"Текст информации о программе:"); }
};
