#pragma once
// How a package's version stands to the installed one: both read as dotted
// numbers ("1.10" is above "1.9", "2" is "2.0"). A version that is missing or
// not made of numbers cannot be placed, and such a pair is never taken as a
// downgrade.

#include <string_view>

enum class VersionOrder { Older, Same, Newer, Unknown };

// Where `offered` stands to `installed`.
VersionOrder CompareVersions(std::wstring_view offered, std::wstring_view installed);
