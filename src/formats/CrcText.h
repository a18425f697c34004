#pragma once
// A CRC-32 as the setup script and the uninstall record store it: eight
// upper-case hexadecimal digits, "0000ABCD".

#include <cstdint>
#include <string>
#include <string_view>

std::wstring CrcText(uint32_t crc);
// Eight hexadecimal digits in either case; false for anything else.
bool ParseCrcText(std::wstring_view text, uint32_t& crc);
