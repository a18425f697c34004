#pragma once
// Questions and notices to the user. Each prompt has an identifier, lower-case and
// dotted as <area>.<topic> ("build.done", "setup.restart"), so a test (or an
// unattended run) can answer it without a human. Windows implement it with message
// boxes; engines only see this interface.

#include <string>
#include <string_view>

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows `text` with `caption`; `style` takes the MB_* button and icon flags.
  // Returns the IDYES/IDNO/IDOK/... answer.
  virtual int Ask(std::wstring_view id, const std::wstring& text, const std::wstring& caption,
                  unsigned style) = 0;
};
