#pragma once
// The x86 code layouts of the single-file stream side by side: every file of a
// folder end to end, compressed as it is, with the branch filter over its code
// sections, and with the operands of each code chunk split off to its front
// (formats/OperandSplit.h). Prints "key=value" lines of compressed sizes.

#include <string>

int CompareFilterLayouts(const std::wstring& folder);
