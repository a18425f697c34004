#include "formats/CrcText.h"

std::wstring CrcText(uint32_t crc) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text(8, L'0');
  for (int i = 7; i >= 0; --i, crc >>= 4) text[static_cast<size_t>(i)] = kDigits[crc & 0xF];
  return text;
}

bool ParseCrcText(std::wstring_view text, uint32_t& crc) {
  if (text.size() != 8)
    return false;
  uint32_t value = 0;
  for (wchar_t c : text) {
    uint32_t digit;
    if (c >= L'0' && c <= L'9')
      digit = static_cast<uint32_t>(c - L'0');
    else if (c >= L'A' && c <= L'F')
      digit = static_cast<uint32_t>(c - L'A' + 10);
    else if (c >= L'a' && c <= L'f')
      digit = static_cast<uint32_t>(c - L'a' + 10);
    else
      return false;
    value = value << 4 | digit;
  }
  crc = value;
  return true;
}
