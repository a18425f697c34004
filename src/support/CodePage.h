#pragma once
// Every file the kit stores is Windows-1251, whatever the system's ANSI code page.

#include <string>
#include <string_view>

inline constexpr unsigned kKitCodePage = 1251;

std::string ToCp1251(std::wstring_view text);
std::wstring FromCp1251(std::string_view bytes);
