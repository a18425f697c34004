#include "designer/ui/text_page.h"

#include <commctrl.h>
#include <richedit.h>

#include "support/CodePage.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "win/Layout.h"
#include "win/RichTextBox.h"

namespace {
std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::wstring JoinLines(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i)
      text += L"\r\n";
    text += lines[i];
  }
  return text;
}

// A plain text file's lines: Windows-1251 bytes, CR LF, LF or CR line ends.
std::vector<std::wstring> ReadTextFileLines(const std::wstring& path) {
  std::wstring text = FromCp1251(ReadWholeFile(path));
  std::vector<std::wstring> lines;
  std::wstring line;
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      lines.push_back(line);
      line.clear();
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
        ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty())
    lines.push_back(line);
  return lines;
}
}  // namespace

void TextPage::CreateControls() {
  CheckBox1 = AddCheckBox(kind_.useCaption, 8, 0, 297, kind_.useHint);
  DWORD scroll = kind_.richScrollBars ? WS_VSCROLL | WS_HSCROLL : 0;
  RichEdit1 = Add(RichEditClassName(), L"",
                  WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | scroll, 0, 32, 400,
                  201, kind_.richHint, WS_EX_CLIENTEDGE);
  SetRichTextDefaultFont(RichEdit1, UiFont());
  EnableWindow(RichEdit1, kind_.richEnabledAtStart);
  SetBoxColor(RichEdit1, false);
  Memo1 =
      Add(WC_EDITW, L"", WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL, 0,
          32, 400, 201, kind_.plainHint, WS_EX_CLIENTEDGE);
  ShowWindow(Memo1, SW_HIDE);
  EnableWindow(Memo1, FALSE);
  SetBoxColor(Memo1, false);
  RadioButton1 = Add(WC_BUTTONW, L"RTF файл", WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 16, 240,
                     113, 17, L"Использовать формат RTF");
  RadioButton2 = Add(WC_BUTTONW, L"TXT файл", BS_AUTORADIOBUTTON, 152, 240, 113, 17,
                     L"Использовать формат TXT");
  FitCheckBoxToText(RadioButton1);
  FitCheckBoxToText(RadioButton2);
  SetChecked(RadioButton1, true);
  Button1 = AddButton(L"Загрузить из файла...", 16, 264, 129, 25,
                      L"Загрузить текст из файла RTF или TXT");
  Button2 = AddButton(L"Изменить шрифт...", 152, 264, 129, 25, L"Изменить шрифт для файла TXT");
  for (HWND control : {RadioButton1, RadioButton2, Button1, Button2}) EnableWindow(control, FALSE);
  SetPlainFont(TextFont());
  OnClick(CheckBox1, [this] { CheckBox1Click(); });
  OnClick(RadioButton1, [this] { RadioButton1Click(); });
  OnClick(RadioButton2, [this] { RadioButton2Click(); });
  OnClick(Button1, [this] { Button1Click(); });
  OnClick(Button2, [this] { Button2Click(); });
}

void TextPage::PrepareBoxText(HWND box, HDC dc) {
  if (box == Memo1 && IsWindowEnabled(Memo1))
    SetTextColor(dc, ResolveColor(font_.Color));
}

// "Изменить шрифт..." is left alone: only the format buttons set it.
void TextPage::CheckBox1Click() {
  bool use = IsChecked(CheckBox1);
  for (HWND control : {RadioButton1, RadioButton2, Button1}) EnableWindow(control, use);
  Govern(RichEdit1, use);
  Govern(Memo1, use);
}

void TextPage::RadioButton1Click() {
  ShowType(TextType::Rtf);
}
void TextPage::RadioButton2Click() {
  ShowType(TextType::Txt);
}

void TextPage::ShowType(TextType type) {
  bool rtf = type == TextType::Rtf;
  ShowWindow(RichEdit1, rtf ? SW_SHOW : SW_HIDE);
  ShowWindow(Memo1, rtf ? SW_HIDE : SW_SHOW);
  EnableWindow(Button2, !rtf);
}

void TextPage::Button1Click() {
  HWND owner = GetAncestor(Handle(), GA_ROOT);
  std::vector<std::wstring> chosen;
  if (IsChecked(RadioButton1)) {
    if (!context_.dialogs.OpenFiles(
            owner, DialogFilter(L"Файлы Rich Text Format (*.rtf)|*.rtf|Все файлы (*.*)|*.*"), false,
            chosen) ||
        chosen.empty())
      return;
    RaiseIfFailed(LoadRichTextFile(RichEdit1, chosen.front()));
  } else {
    if (!context_.dialogs.OpenFiles(
            owner, DialogFilter(L"Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*"), false,
            chosen) ||
        chosen.empty())
      return;
    SetText(Memo1, JoinLines(ReadTextFileLines(chosen.front())));
  }
}

void TextPage::Button2Click() {
  FontChoice choice{font_.Name,     font_.Size,   static_cast<COLORREF>(font_.Color),
                    font_.Bold,     font_.Italic, font_.Underline,
                    font_.StrikeOut};
  if (!context_.dialogs.ChooseFont(GetAncestor(Handle(), GA_ROOT), choice))
    return;
  TextFont font;
  font.Name = choice.Name;
  font.Size = choice.Size;
  font.Color = static_cast<int32_t>(choice.Color);
  font.Bold = choice.Bold;
  font.Italic = choice.Italic;
  font.Underline = choice.Underline;
  font.StrikeOut = choice.StrikeOut;
  SetPlainFont(font);
}

void TextPage::SetPlainFont(const TextFont& font) {
  font_ = font;
  memoFont_.Reset(
      CreateUiFont(font.Name, font.Size, font.Bold, font.Italic, font.Underline, font.StrikeOut));
  SendMessageW(Memo1, WM_SETFONT, reinterpret_cast<WPARAM>(memoFont_.Get()), TRUE);
}

void TextPage::AppendRichLine(const std::wstring& line) {
  AppendRichTextLine(RichEdit1, line);
}

void TextPage::AppendPlainLine(const std::wstring& line) {
  std::wstring text = GetText(Memo1);
  SetText(Memo1, text.empty() ? line : text + L"\r\n" + line);
}

void TextPage::Load(const SetupProject& project) {
  SetBox(CheckBox1, project.*kind_.use);
  const TextType type = project.*kind_.type;
  SetChecked(RadioButton1, type == TextType::Rtf);
  SetChecked(RadioButton2, type == TextType::Txt);
  ShowType(type);
  if ((project.*kind_.rtf).empty())
    SetText(RichEdit1, L"");
  else
    SetRichText(RichEdit1, project.*kind_.rtf);
  loadedRtf_ = project.*kind_.rtf;
  shownRtf_ = GetRichText(RichEdit1);
  SetText(Memo1, JoinLines(project.*kind_.lines));
  loadedLines_ = project.*kind_.lines;
  shownText_ = GetText(Memo1);
  SetPlainFont(project.*kind_.font);
}

void TextPage::Store(SetupProject& project) const {
  project.*kind_.use = IsChecked(CheckBox1);
  project.*kind_.type = IsChecked(RadioButton2) ? TextType::Txt : TextType::Rtf;
  std::string rtf = GetRichText(RichEdit1);
  project.*kind_.rtf = rtf == shownRtf_ ? loadedRtf_ : std::move(rtf);
  std::wstring text = GetText(Memo1);
  project.*kind_.lines = text == shownText_ ? loadedLines_ : SplitLines(text);
  project.*kind_.font = font_;
}
