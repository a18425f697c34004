#pragma once
// Information page "Информация": the text the setup program shows on its information page.

#include "designer/ui/text_page.h"

class TFrame4 : public TextPage {
 public:
  explicit TFrame4(PageContext& context);
};
