#include "support/CodePage.h"

#include <windows.h>

#include <vector>

// Windows-1251 is a single-byte code page: the platform maps every byte, and
// every UTF-16 unit outside the surrogates, on its own. Both directions
// therefore go through tables taken once from the platform itself, which keeps
// its mappings (best fit, default character) exactly and saves a trip through
// the platform for every text.

namespace {
std::wstring PlatformToWide(std::string_view bytes) {
  if (bytes.empty())
    return {};
  int chars = MultiByteToWideChar(kKitCodePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  nullptr, 0);
  std::wstring out(chars, L'\0');
  MultiByteToWideChar(kKitCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                      chars);
  return out;
}

std::string PlatformToBytes(std::wstring_view text) {
  if (text.empty())
    return {};
  int bytes = WideCharToMultiByte(kKitCodePage, 0, text.data(), static_cast<int>(text.size()),
                                  nullptr, 0, nullptr, nullptr);
  std::string out(bytes, '\0');
  WideCharToMultiByte(kKitCodePage, 0, text.data(), static_cast<int>(text.size()), out.data(),
                      bytes, nullptr, nullptr);
  return out;
}

bool IsSurrogate(wchar_t c) {
  return c >= 0xd800 && c <= 0xdfff;
}

// The character of every byte; empty if the platform did not map them one to one.
const std::wstring& ByteTable() {
  static const std::wstring table = [] {
    std::string all(256, '\0');
    for (int i = 0; i < 256; ++i) all[i] = static_cast<char>(i);
    std::wstring chars = PlatformToWide(all);
    return chars.size() == 256 ? chars : std::wstring();
  }();
  return table;
}

// The byte of every UTF-16 unit outside the surrogates (their slots are unused);
// empty if the platform did not map them one to one. Built on the first text
// that is not plain ASCII.
const std::vector<char>& UnitTable() {
  static const std::vector<char> table = [] {
    std::wstring units;
    units.reserve(0x10000 - 0x800);
    for (unsigned c = 0; c < 0x10000; ++c)
      if (!IsSurrogate(static_cast<wchar_t>(c)))
        units.push_back(static_cast<wchar_t>(c));
    const std::string bytes = PlatformToBytes(units);
    std::vector<char> byUnit;
    if (bytes.size() != units.size())
      return byUnit;
    byUnit.assign(0x10000, '?');
    for (size_t i = 0; i < units.size(); ++i) byUnit[units[i]] = bytes[i];
    return byUnit;
  }();
  return table;
}
}  // namespace

char Cp1251Byte(wchar_t unit) {
  if (unit < 0x80)
    return static_cast<char>(unit);
  const std::vector<char>& table = UnitTable();
  if (!table.empty())
    return table[unit];
  const std::string bytes = PlatformToBytes(std::wstring_view(&unit, 1));
  return bytes.size() == 1 ? bytes[0] : '?';
}

wchar_t Cp1251Char(unsigned char byte) {
  if (byte < 0x80)
    return byte;
  const std::wstring& table = ByteTable();
  if (!table.empty())
    return table[byte];
  const std::wstring chars = PlatformToWide(std::string_view(reinterpret_cast<char*>(&byte), 1));
  return chars.size() == 1 ? chars[0] : L'?';
}

bool Cp1251CanHold(std::wstring_view text) {
  for (wchar_t c : text) {
    if (c < 0x80)
      continue;
    if (IsSurrogate(c) || Cp1251Char(static_cast<unsigned char>(Cp1251Byte(c))) != c)
      return false;
  }
  return true;
}

void AppendCp1251(std::string& out, std::wstring_view text) {
  const size_t base = out.size();
  out.resize(base + text.size());
  char* const target = out.data() + base;
  size_t i = 0;
  for (; i < text.size() && text[i] < 0x80; ++i) target[i] = static_cast<char>(text[i]);
  if (i == text.size())
    return;  // plain ASCII: no table needed
  const std::vector<char>& table = UnitTable();
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (table.empty() || IsSurrogate(c)) {  // pairs map as pairs: leave them to the platform
      out.resize(base);
      out += PlatformToBytes(text);
      return;
    }
    target[i] = c < 0x80 ? static_cast<char>(c) : table[c];
  }
}

std::string ToCp1251(std::wstring_view text) {
  std::string out;
  AppendCp1251(out, text);
  return out;
}

std::wstring FromCp1251(std::string_view bytes) {
  const std::wstring& table = ByteTable();
  if (table.empty())
    return PlatformToWide(bytes);
  std::wstring out(bytes.size(), L'\0');
  for (size_t i = 0; i < bytes.size(); ++i) out[i] = table[static_cast<unsigned char>(bytes[i])];
  return out;
}

std::string ToUtf8(std::wstring_view text) {
  if (text.empty())
    return {};
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                  0, nullptr, nullptr);
  std::string out(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes,
                      nullptr, nullptr);
  return out;
}

bool FromUtf8(std::string_view bytes, std::wstring& text) {
  text.clear();
  if (bytes.empty())
    return true;
  int chars = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                  static_cast<int>(bytes.size()), nullptr, 0);
  if (chars <= 0)
    return false;
  text.resize(chars);
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                      text.data(), chars);
  return true;
}
