#include "setup/ShortCuts.h"

#include "support/FileSystem.h"

void TShortCut::Save(const std::wstring& folder) const {
  ForceFolder(folder);
  CreateShellLink(folder, FileName, Params, FilePath, L"", Name);
}

bool CreateShellLink(const std::wstring&, const std::wstring&, const std::wstring&,
                     const std::wstring&, const std::wstring&, const std::wstring&) {
  return false;  // written by the shell-link change that follows
}
