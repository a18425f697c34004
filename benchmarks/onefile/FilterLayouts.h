#pragma once
// The x86 code layouts of the single-file stream side by side: every file of a
// folder end to end, compressed as it is, with the branch filter over its code
// sections (single files up to version 5), and with the operands of each code
// chunk split off to its end (formats/SplitRangeFilter.h, version 6). Prints
// "key=value" lines of compressed sizes.

#include <string>

int CompareFilterLayouts(const std::wstring& folder);
