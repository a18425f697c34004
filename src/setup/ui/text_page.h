#pragma once
// What the license and information pages share: a rich-text viewer and a
// plain-text viewer at the same place, one of them shown.

#include <windows.h>

#include <string>

#include "formats/SetupScriptReader.h"
#include "support/Failure.h"
#include "support/Handle.h"
#include "win/Panel.h"

class TextPage : public Panel {
 public:
  void Create(HWND parent, const std::wstring& caption);
  // Shows the rich-text viewer with the RTF file's content.
  Status LoadRichText(const std::wstring& path);
  // Shows the plain-text viewer with the file's lines in the script's font and colour.
  Status LoadPlainText(const std::wstring& path, const ScriptTextInfo& font);
  COLORREF PlainTextColor() const { return plainColor_; }

  HWND RichEdit1 = nullptr;
  HWND Memo1 = nullptr;

 protected:
  HBRUSH ControlColors(HWND control, HDC dc) override;

 private:
  FontHandle plainFont_;
  COLORREF plainColor_ = 0;
};
