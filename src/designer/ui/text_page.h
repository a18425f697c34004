#pragma once
// What the Information and License pages share: an optional text shown by the setup
// program, as rich text loaded from an RTF file or as plain lines in a chosen font.
// Both boxes keep their content side by side; the selected type decides which one
// counts.

#include <string>
#include <vector>

#include "designer/ui/page.h"
#include "formats/SetupProject.h"
#include "support/Handle.h"

// What tells the two pages apart: their texts, two details of the rich-text box,
// and the project's fields they hold.
struct TextPageKind {
  std::wstring useCaption, useHint, richHint, plainHint;
  bool richEnabledAtStart;  // the License box starts enabled, the Information box not
  bool richScrollBars;      // the Information box has both scroll bars, the License box none
  bool SetupProject::*use;
  TextType SetupProject::*type;
  std::string SetupProject::*rtf;
  std::vector<std::wstring> SetupProject::*lines;
  TextFont SetupProject::*font;
};

class TextPage : public Page {
 public:
  TextPage(PageContext& context, TextPageKind kind) : Page(context), kind_(std::move(kind)) {}

  void Load(const SetupProject& project) override;
  void Store(SetupProject& project) const override;

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

  TextPageKind kind_;
  TextFont font_;
  FontHandle memoFont_;
  // The texts as the last Load gave them, and what the boxes held right after it.
  // While a box still holds that, Store gives the loaded text back unchanged: the
  // rich-text box writes RTF its own way, and the plain box cannot hold every list
  // of lines (a last empty line, a line break inside a line), so an opened project
  // is built and saved as its file says.
  std::string loadedRtf_, shownRtf_;
  std::vector<std::wstring> loadedLines_;
  std::wstring shownText_;
};
