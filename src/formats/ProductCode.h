#pragma once
// A product's identity across its versions: a GUID in its registry spelling,
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with hexadecimal digits. The designer
// makes one per project; the script carries it, the uninstall entry keeps it.

#include <string_view>

// The braces, the four dashes and 32 hexadecimal digits in their places.
bool IsProductCode(std::wstring_view text);

// Two codes of one product: the same digits, whatever their case.
bool SameProductCode(std::wstring_view a, std::wstring_view b);
