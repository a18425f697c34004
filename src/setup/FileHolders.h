#pragma once
// Which programs hold a file open, as the Restart Manager tells it. rstrtmgr.dll
// is not one of the system's known DLLs, so it is loaded from System32 by its
// full path: a copy planted beside the setup program is never loaded.

#include <string>
#include <vector>

// The names of the programs that hold `path` open (their window title or
// description as Windows gives it). Empty when Windows cannot tell, the DLL is
// missing, or nothing holds it.
std::vector<std::wstring> ProgramsHoldingFile(const std::wstring& path);
