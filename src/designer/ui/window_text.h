#pragma once
// The Information and License pages: an optional text shown by the setup program,
// as rich text loaded from an RTF file or as plain lines in a chosen font. Both
// boxes keep their content side by side; the selected type decides which one counts.

#include <string>
#include <vector>

#include "designer/ui/Page.h"
#include "formats/SetupProject.h"
#include "support/Handle.h"

struct TextPageTexts {
  std::wstring useCaption, useHint, richHint, plainHint;
  bool richEnabledAtStart;  // the License box starts enabled, the Information box not
  bool richScrollBars;      // the Information box has both scroll bars, the License box none
};

// What one page holds of the project.
struct TextPageValues {
  bool use = false;
  TextType type = TextType::Rtf;
  std::string rtf;
  std::vector<std::wstring> lines;
  TextFont font;
};

class TTextFrame : public Page {
 public:
  TTextFrame(PageContext& context, TextPageTexts texts) : Page(context), texts_(std::move(texts)) {}

  void LoadValues(const TextPageValues& values);
  TextPageValues StoreValues() const;

  void AppendRichLine(const std::wstring& line);
  void AppendPlainLine(const std::wstring& line);

  // The handlers of both pages: Frame41CheckBox1Click and Frame51CheckBox1Click, and so on.
  void CheckBox1Click();
  void RadioButton1Click();  // "RTF файл"
  void RadioButton2Click();  // "TXT файл"
  void Button1Click();       // "Загрузить из файла..."
  void Button2Click();       // "Изменить шрифт..."

  HWND CheckBox1 = nullptr, RichEdit1 = nullptr, Memo1 = nullptr;
  HWND RadioButton1 = nullptr, RadioButton2 = nullptr, Button1 = nullptr, Button2 = nullptr;

 protected:
  void CreateControls() override;
  void PrepareBoxText(HWND box, HDC dc) override;

 private:
  void SetPlainFont(const TextFont& font);
  void ShowType(TextType type);

  TextPageTexts texts_;
  TextFont font_;
  FontHandle memoFont_;
};
