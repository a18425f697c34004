#pragma once
// Information page "Информация" (TFrame4) and License page "Лицензия" (TFrame5).

#include "designer/ui/window_text.h"

class TFrame4 : public TTextFrame {
 public:
  explicit TFrame4(PageContext& context);
  void Load(const SetupProject& project);
  void Store(SetupProject& project) const;
};

class TFrame5 : public TTextFrame {
 public:
  explicit TFrame5(PageContext& context);
  void Load(const SetupProject& project);
  void Store(SetupProject& project) const;
};
