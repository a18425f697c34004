#pragma once
// Every file the kit stores is Windows-1251, whatever the system's ANSI code page.

#include <string>
#include <string_view>

inline constexpr unsigned kKitCodePage = 1251;

std::string ToCp1251(std::wstring_view text);
std::wstring FromCp1251(std::string_view bytes);

// Appends what ToCp1251 gives for `text`, without a temporary string.
void AppendCp1251(std::string& out, std::wstring_view text);
// The byte of one UTF-16 unit outside the surrogates (which map only in pairs).
char Cp1251Byte(wchar_t unit);
// The character of one byte.
wchar_t Cp1251Char(unsigned char byte);
// True when every character of `text` has a byte of its own in Windows-1251, so
// that the text reads back as it was written (no "?" and no best-fit letter).
bool Cp1251CanHold(std::wstring_view text);

// UTF-8, for the files that are meant to be read and edited as text.
std::string ToUtf8(std::wstring_view text);
// False when `bytes` is not valid UTF-8; `text` is then left empty.
bool FromUtf8(std::string_view bytes, std::wstring& text);
