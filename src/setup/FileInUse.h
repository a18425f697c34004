#pragma once
// A target that another program holds open: how it is recognised, what the
// user is told, and the error that stops the install when it stays held.

#include <string>
#include <vector>

#include "support/Failure.h"

// The codes Windows gives for a file that another process holds open without
// sharing its deletion, or has locked.
bool IsFileInUseError(unsigned long code);

// "<path>" held by "<name>, <name>", or without names when Windows cannot tell.
std::wstring FileInUseText(const std::wstring& path, const std::vector<std::wstring>& holders);

// The window's question: close the program and retry, or cancel the install.
std::wstring FileInUseQuestion(const std::wstring& path, const std::vector<std::wstring>& holders);

// The install stopped at a file that stayed in use.
Failure FileInUseFailure(const std::wstring& path, const std::vector<std::wstring>& holders);
