#pragma once
// Information page "Информация" (TFrame4) and License page "Лицензия" (TFrame5).

#include "designer/ui/window_text.h"

class TFrame4 : public TTextFrame {
 public:
  explicit TFrame4(PageContext& context);
  void Load(const SetupProject& project);
  void Store(SetupProject& project) const;
  // Handler names of the page's instance in the main window.
  void Frame41CheckBox1Click() { CheckBox1Click(); }
  void Frame41RadioButton1Click() { RadioButton1Click(); }
  void Frame41RadioButton2Click() { RadioButton2Click(); }
  void Frame41Button1Click() { Button1Click(); }
  void Frame41Button2Click() { Button2Click(); }
};

class TFrame5 : public TTextFrame {
 public:
  explicit TFrame5(PageContext& context);
  void Load(const SetupProject& project);
  void Store(SetupProject& project) const;
  void Frame51CheckBox1Click() { CheckBox1Click(); }
  void Frame51RadioButton1Click() { RadioButton1Click(); }
  void Frame51RadioButton2Click() { RadioButton2Click(); }
  void Frame51Button1Click() { Button1Click(); }
  void Frame51Button2Click() { Button2Click(); }
};
