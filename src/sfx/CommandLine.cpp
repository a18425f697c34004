#include "sfx/CommandLine.h"

namespace {
bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}
}  // namespace

// The program name ends as the system's own parser ends it: at the closing quote
// when it starts with one, otherwise at the first blank.
const wchar_t* ArgumentsAfterProgramName(const wchar_t* commandLine) {
  const wchar_t* p = commandLine;
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p == L'"')
      ++p;
  } else {
    while (*p && !IsBlank(*p)) ++p;
  }
  while (IsBlank(*p)) ++p;
  return p;
}

// The words are split as the setup program splits them: a word ends at a blank
// outside quotes and its quotes are dropped, so "/S" and /"S" are /S.
bool HasSilentSwitch(const wchar_t* arguments) {
  const wchar_t* p = arguments;
  while (*p) {
    while (IsBlank(*p)) ++p;
    wchar_t word[2] = {};  // the first letters of the word without its quotes
    int length = 0;
    bool quoted = false;
    for (; *p && (quoted || !IsBlank(*p)); ++p) {
      if (*p == L'"') {
        quoted = !quoted;
        continue;
      }
      if (length < 2)
        word[length] = *p;
      ++length;
    }
    if (length == 2 && word[0] == L'/' && (word[1] == L'S' || word[1] == L's'))
      return true;
  }
  return false;
}
