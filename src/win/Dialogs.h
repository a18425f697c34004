#pragma once
// Every question and standard dialog of the programs goes through this interface,
// so window tests can answer them without a human.

#include <windows.h>

#include <string>
#include <vector>

#include "support/Prompts.h"

struct FontChoice {
  std::wstring Name;
  int Size = 8;        // points
  COLORREF Color = 0;  // may be a system colour reference (0xFF0000nn)
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
};

class Dialogs : public Prompter {
 public:
  // Open-file dialog; `filter` is "Name\0*.ext\0...\0\0" style. With `multiSelect`
  // several files may come back. False on Cancel.
  virtual bool OpenFiles(HWND owner, const std::wstring& filter, bool multiSelect,
                         std::vector<std::wstring>& files) = 0;
  // Save-file dialog; `file` is the proposed path in and the choice out, with
  // `extension` (no dot) added when the name typed has none. Asks before an
  // existing file is replaced. False on Cancel.
  virtual bool SaveFile(HWND owner, const std::wstring& filter, const std::wstring& extension,
                        std::wstring& file) = 0;
  // The shell's folder browser: the tree starts at `root` (all of the shell when
  // empty); `folder` is the initial selection in, the choice out. An initial
  // folder that does not exist is emptied first. False on Cancel.
  virtual bool BrowseForFolder(HWND owner, const std::wstring& title, const std::wstring& root,
                               std::wstring& folder) = 0;
  // The font dialog with colour; false on Cancel.
  virtual bool ChooseFont(HWND owner, FontChoice& font) = 0;
  // The folder the next open-file dialog starts in (otherwise the last one used).
  virtual void SetOpenFolder(const std::wstring& /*folder*/) {}
};

// The real dialogs of the platform.
class SystemDialogs final : public Dialogs {
 public:
  int Ask(std::wstring_view id, const std::wstring& text, const std::wstring& caption,
          unsigned style) override;
  bool OpenFiles(HWND owner, const std::wstring& filter, bool multiSelect,
                 std::vector<std::wstring>& files) override;
  bool SaveFile(HWND owner, const std::wstring& filter, const std::wstring& extension,
                std::wstring& file) override;
  bool BrowseForFolder(HWND owner, const std::wstring& title, const std::wstring& root,
                       std::wstring& folder) override;
  bool ChooseFont(HWND owner, FontChoice& font) override;
  void SetOpenFolder(const std::wstring& folder) override { openFolder_ = folder; }

 private:
  std::wstring openFolder_;
};

// "Name|*.ext|..." as the open-file dialog's zero-separated filter.
std::wstring DialogFilter(std::wstring_view pipeSeparated);

// A COLORREF for a colour value that may name a system colour (top byte all ones).
COLORREF ResolveColor(int32_t colorValue);
