#pragma once
// Where WinRAR.exe lives, as its "open" command in the registry names it.

#include <windows.h>

#include <string>

inline constexpr wchar_t kWinRarCommandKey[] = L"software\\classes\\winrar\\shell\\open\\command";

struct WinRarLookup {
  bool Found = false;  // the command key exists
  std::wstring Path;   // DetectedWinRarPath; empty when not found
};

// The command value is expected as "<path>" "%1": the first character and the
// last six are cut off; a text shorter than six after the first cut keeps its rest.
std::wstring CutWinRarCommand(const std::wstring& command);

// Reads the default value of the command key below `root`.
WinRarLookup FindWinRarPath(HKEY root = HKEY_LOCAL_MACHINE,
                            const std::wstring& keyPath = kWinRarCommandKey);
