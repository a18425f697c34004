#pragma once
// License page "Лицензия": the license the setup program shows on its license page.

#include "designer/ui/text_page.h"

class TFrame5 : public TextPage {
 public:
  explicit TFrame5(PageContext& context);
};
