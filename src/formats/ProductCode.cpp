#include "formats/ProductCode.h"

#include "support/Strings.h"

namespace {
bool IsHexDigit(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}
}  // namespace

bool IsProductCode(std::wstring_view text) {
  constexpr std::wstring_view kShape = L"{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (text.size() != kShape.size())
    return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (kShape[i] == L'X' ? !IsHexDigit(text[i]) : text[i] != kShape[i])
      return false;
  return true;
}

bool SameProductCode(std::wstring_view a, std::wstring_view b) {
  return EqualNoCase(a, b);  // the digits are Latin letters and numbers only
}
