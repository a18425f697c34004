#pragma once
// Page 2 "Лицензия": the license text.

#include "setup/ui/text_page.h"

class TFrame2 final : public TextPage {
 public:
  void Create(HWND parent) { TextPage::Create(parent, L"Текст лицензии к программе:"); }
};
