#include "formats/UninstallEntry.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "support/FileSystem.h"
#include "support/PathNames.h"

namespace {
constexpr wchar_t kLinkFolderSeparator = L'|';
}  // namespace

std::wstring QuietUninstallCommand(const std::wstring& uninstallString) {
  return uninstallString + L" " + uninstall::kSilentSwitch;
}

std::wstring InstallDateText(int year, int month, int day) {
  wchar_t text[16];
  std::swprintf(text, sizeof text / sizeof text[0], L"%04d%02d%02d", year, month, day);
  return text;
}

uint32_t EstimatedSizeKb(int64_t bytes) {
  if (bytes <= 0)
    return 0;
  const int64_t kb = bytes / 1024 + (bytes % 1024 != 0);
  return kb > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<uint32_t>(kb);
}

std::wstring LinkFoldersValue(const std::vector<std::wstring>& linkPaths) {
  std::wstring value;
  std::unordered_set<std::wstring> seen;
  for (const std::wstring& link : linkPaths) {
    const std::wstring parent = FolderOf(link);
    if (parent.empty())
      continue;
    const std::wstring folder = WithoutTrailingBackslash(LongFullPath(parent));
    if (!seen.insert(FoldedPath(folder)).second)
      continue;
    if (!value.empty())
      value += kLinkFolderSeparator;
    value += folder;
  }
  return value;
}

std::vector<std::wstring> SplitLinkFolders(std::wstring_view value) {
  std::vector<std::wstring> folders;
  while (!value.empty()) {
    const size_t end = std::min(value.find(kLinkFolderSeparator), value.size());
    if (end > 0)
      folders.emplace_back(value.substr(0, end));
    value.remove_prefix(std::min(end + 1, value.size()));
  }
  return folders;
}

std::wstring ProgramNameProblem(const std::wstring& name) {
  if (name.find(L'"') != std::wstring::npos)
    return L"Название программы «" + name +
           L"» содержит кавычки (\"). Они разорвали бы команду удаления в реестре; "
           L"используйте «ёлочки» или уберите кавычки.";
  if (name.find(L'\\') != std::wstring::npos)
    return L"Название программы «" + name +
           L"» содержит обратную косую черту (\\). С ней запись об удалении в реестре "
           L"попала бы в другой раздел; уберите этот знак.";
  return {};
}
