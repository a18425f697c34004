#pragma once
// File names from the setup script are paths below the install folder; a tampered
// package must not reach outside it.

#include <string_view>

// False for an empty name, a name that starts with "\" or "/" (rooted or UNC), one
// that holds ":" (a drive or an alternate stream), and one with a ".." component.
bool IsSafeRelativeName(std::wstring_view name);
