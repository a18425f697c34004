#pragma once
// The five wizard pages that share the page area at the right of the setup
// window: characteristics, license, information, install path and shortcuts.
// Pages only show what the window gives them; their controls are public so the
// window (and its tests) can read what the end user chose.

#include <windows.h>

#include <string>

#include "setup/ScriptLoading.h"
#include "setup/SetupState.h"
#include "support/Handle.h"
#include "win/Panel.h"

// Wizard page area of the window.
inline constexpr int kWizardPageLeft = 190, kWizardPageTop = 52;
inline constexpr int kWizardPageWidth = 320, kWizardPageHeight = 240;

// Page 1: the read-only name/value grid of the product's characteristics.
class TFrame1 final : public Panel {
 public:
  enum Row { kProductName, kCompanyName, kFileCount, kTotalSize };
  void Create(HWND parent);
  void SetValue(Row row, const std::wstring& value);
  std::wstring Value(Row row) const;

  HWND ValueListEditor1 = nullptr;
};

// Pages 2 and 3: a rich-text viewer and a plain-text viewer, one of them shown.
class TextPage : public Panel {
 public:
  void Create(HWND parent, const std::wstring& caption);
  // Shows the rich-text viewer with the RTF file's content.
  void LoadRichText(const std::wstring& path);
  // Shows the plain-text viewer with the file's lines in the script's font and colour.
  void LoadPlainText(const std::wstring& path, const ScriptFont& font);
  COLORREF PlainTextColor() const { return plainColor_; }

  HWND RichEdit1 = nullptr;
  HWND Memo1 = nullptr;

 protected:
  HBRUSH ControlColors(HWND control, HDC dc) override;

 private:
  FontHandle plainFont_;
  COLORREF plainColor_ = 0;
};

class TFrame2 final : public TextPage {
 public:
  void Create(HWND parent) { TextPage::Create(parent, L"Текст лицензии к программе:"); }
};

class TFrame3 final : public TextPage {
 public:
  void Create(HWND parent) { TextPage::Create(parent, L"Текст информации о программе:"); }
};

// Page 4: the install-path box, the browse button and the two size lines.
class TFrame4 final : public Panel {
 public:
  void Create(HWND parent);
  void SetProgramSize(const std::wstring& text);
  void ShowFreeSpaceLine(const FreeSpaceLine& line);

  HWND Edit1 = nullptr;
  HWND Button1 = nullptr;  // "Обзор ..."
  HWND ProgramSizeLabel = nullptr;
  HWND ProgramSizeValue = nullptr;
  HWND FreeSpaceLabel = nullptr;
  HWND FreeSpaceValue = nullptr;

 private:
  void PlaceValue(HWND label, HWND value, const std::wstring& text);
};

// Page 5: which kinds of shortcut to create.
class TFrame5 final : public Panel {
 public:
  void Create(HWND parent);

  HWND CheckBox1 = nullptr;  // desktop
  HWND CheckBox2 = nullptr;  // Start menu
  HWND CheckBox3 = nullptr;  // startup
};
