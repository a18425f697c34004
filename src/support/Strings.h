#pragma once
// Number and keyword helpers shared by both programs.

#include <cstdint>
#include <string>
#include <string_view>

// Decimal text of a signed 32-bit value: "-" for negatives, no padding or grouping.
std::wstring IntToText(int32_t value);

// Reads a leading number and never fails: blanks, an optional sign, "$", "x" or
// "0x" for hexadecimal; stops at the first character that does not fit.
int32_t TextToInt(std::wstring_view text);

// Equal length and equal after turning Latin a-z into A-Z; other letters
// (Cyrillic included) must match exactly. The rule for the kit's own words in
// its scripts and switches; names that Windows compares (files, folders, keys,
// sections) use SameFileName (support/FileNames.h).
bool EqualNoCase(std::wstring_view a, std::wstring_view b);

// True when `text` begins with `prefix` under the EqualNoCase rule.
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix);

// Low 32 bits of a 64-bit count read as signed, as the package files store sizes.
inline int32_t LowSigned32(int64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}
