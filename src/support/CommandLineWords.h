#pragma once
// A command line split into its words by the system's rules (CommandLineToArgvW).

#include <string>
#include <vector>

// Every word of `commandLine`, the program's own name first; quotes group blanks
// and are dropped. Empty when the system cannot split it.
std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine);
