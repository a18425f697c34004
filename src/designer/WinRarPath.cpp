#include "designer/WinRarPath.h"

#include "support/Handle.h"
#include "support/QRegistry.h"

std::wstring CutWinRarCommand(const std::wstring& command) {
  std::wstring text = command.empty() ? command : command.substr(1);
  if (text.size() >= 6)
    text.resize(text.size() - 6);
  return text;
}

WinRarLookup FindWinRarPath(HKEY root, const std::wstring& keyPath) {
  WinRarLookup lookup;
  {
    RegKey key;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
      return lookup;
  }
  lookup.Found = true;
  lookup.Path = CutWinRarCommand(Registry().ReadRegString(root, keyPath, L"", L""));
  return lookup;
}
