#include "designer/WinRarPath.h"

#include "support/QRegistry.h"

std::wstring CutWinRarCommand(const std::wstring& command) {
  std::wstring text = command.empty() ? command : command.substr(1);
  if (text.size() >= 6)
    text.resize(text.size() - 6);
  return text;
}

WinRarLookup FindWinRarPath(HKEY root, const std::wstring& keyPath) {
  WinRarLookup lookup;
  const RegistryKey key = RegistryKey::Open(root, keyPath);
  if (!key)
    return lookup;
  lookup.Found = true;
  lookup.Path = CutWinRarCommand(key.ReadText(L"").value_or(L""));
  return lookup;
}
