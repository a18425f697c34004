#include "support/Strings.h"

std::wstring IntToText(int32_t value) {
  // Work in 64 bits so that the smallest value negates safely.
  int64_t wide = value;
  bool negative = wide < 0;
  uint64_t magnitude = negative ? static_cast<uint64_t>(-wide) : static_cast<uint64_t>(wide);
  wchar_t digits[16];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  std::wstring text;
  text.reserve(count + 1);
  if (negative)
    text.push_back(L'-');
  while (count) text.push_back(digits[--count]);
  return text;
}

namespace {
int DigitValue(wchar_t c, int base) {
  int value = -1;
  if (c >= L'0' && c <= L'9')
    value = c - L'0';
  else if (c >= L'a' && c <= L'f')
    value = c - L'a' + 10;
  else if (c >= L'A' && c <= L'F')
    value = c - L'A' + 10;
  return value < base ? value : -1;
}
}  // namespace

int32_t TextToInt(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == L' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
    negative = text[i++] == L'-';
  int base = 10;
  if (i < text.size() && text[i] == L'$') {
    base = 16;
    ++i;
  } else if (i < text.size() && (text[i] == L'x' || text[i] == L'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == L'0' &&
             (text[i + 1] == L'x' || text[i + 1] == L'X')) {
    base = 16;
    i += 2;
  }
  // Accumulate in 32 unsigned bits: out-of-range input wraps instead of failing.
  uint32_t value = 0;
  for (; i < text.size(); ++i) {
    int digit = DigitValue(text[i], base);
    if (digit < 0)
      break;
    value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
  }
  if (negative)
    value = 0u - value;
  return static_cast<int32_t>(value);
}

namespace {
wchar_t LatinUpper(wchar_t c) {
  return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
}
}  // namespace

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LatinUpper(a[i]) != LatinUpper(b[i]))
      return false;
  return true;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}
