#include "support/CodePage.h"

#include <windows.h>

std::string ToCp1251(std::wstring_view text) {
  if (text.empty())
    return {};
  int bytes = WideCharToMultiByte(kKitCodePage, 0, text.data(), static_cast<int>(text.size()),
                                  nullptr, 0, nullptr, nullptr);
  std::string out(bytes, '\0');
  WideCharToMultiByte(kKitCodePage, 0, text.data(), static_cast<int>(text.size()), out.data(),
                      bytes, nullptr, nullptr);
  return out;
}

std::wstring FromCp1251(std::string_view bytes) {
  if (bytes.empty())
    return {};
  int chars = MultiByteToWideChar(kKitCodePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  nullptr, 0);
  std::wstring out(chars, L'\0');
  MultiByteToWideChar(kKitCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                      chars);
  return out;
}
