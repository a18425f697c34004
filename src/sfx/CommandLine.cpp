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

bool HasSilentSwitch(const wchar_t* arguments) {
  const wchar_t* p = arguments;
  while (*p) {
    while (IsBlank(*p)) ++p;
    const wchar_t* start = p;
    bool quoted = false;
    while (*p && (quoted || !IsBlank(*p))) {
      if (*p == L'"')
        quoted = !quoted;
      ++p;
    }
    if (p - start == 2 && start[0] == L'/' && (start[1] == L'S' || start[1] == L's'))
      return true;
  }
  return false;
}
