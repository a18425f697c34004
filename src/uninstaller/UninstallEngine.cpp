#include "uninstaller/UninstallEngine.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <set>

#include "formats/UninstallRecord.h"
#include "support/FileSystem.h"
#include "support/ProfileFile.h"
#include "support/Strings.h"

namespace {
// "File12" for prefix "File"; "FileCount" does not qualify.
bool IsNumberedKey(const std::wstring& key, std::wstring_view prefix) {
  if (key.size() <= prefix.size() || !StartsWithNoCase(key, prefix))
    return false;
  return std::all_of(key.begin() + static_cast<std::ptrdiff_t>(prefix.size()), key.end(),
                     [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::vector<std::wstring> NumberedValues(const ProfileFile& script, const wchar_t* section,
                                         std::wstring_view prefix) {
  std::vector<std::wstring> values;
  for (const auto& [key, value] : script.ReadSection(section))
    if (IsNumberedKey(key, prefix) && !value.empty())
      values.push_back(value);
  return values;
}

std::wstring Folded(std::wstring text) {
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return Folded(a) == Folded(b);
}

// True when `path` lies strictly inside `folder`.
bool IsInside(const std::wstring& path, const std::wstring& folder) {
  const std::wstring prefix = Folded(WithTrailingBackslash(folder));
  return path.size() > prefix.size() && Folded(path.substr(0, prefix.size())) == prefix;
}

// Deletes one file; a file already gone counts as removed.
bool RemoveFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return true;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    return false;  // the record names files only; a folder here is not ours to delete
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}
}  // namespace

UninstallResult RemoveInstallation(const UninstallCommand& command, const std::wstring& selfPath) {
  UninstallResult result;
  const std::wstring installFolder = WithoutTrailingBackslash(FolderOf(command.ScriptPath));
  result.ScriptFound = FileExists(command.ScriptPath);

  if (result.ScriptFound) {
    const ProfileFile script = ProfileFile::Load(command.ScriptPath);
    std::set<std::wstring> folders;  // folded path -> removed deepest first below
    std::vector<std::wstring> folderPaths;
    for (const std::wstring& file :
         NumberedValues(script, uninstall::kFilesSection, uninstall::kFileKey)) {
      if (SamePath(file, selfPath))
        continue;
      if (!RemoveFile(file))
        result.NotRemoved.push_back(file);
      if (!installFolder.empty() && IsInside(file, installFolder)) {
        for (std::wstring folder = WithoutTrailingBackslash(FolderOf(file));
             folder.size() >= installFolder.size() &&
             (IsInside(folder, installFolder) || SamePath(folder, installFolder));
             folder = WithoutTrailingBackslash(FolderOf(folder)))
          if (folders.insert(Folded(folder)).second)
            folderPaths.push_back(folder);
      }
    }
    for (const std::wstring& link :
         NumberedValues(script, uninstall::kShortCutsSection, uninstall::kShortCutKey))
      if (!RemoveFile(link))
        result.NotRemoved.push_back(link);
    if (!RemoveFile(command.ScriptPath))
      result.NotRemoved.push_back(command.ScriptPath);

    if (!installFolder.empty() && folders.insert(Folded(installFolder)).second)
      folderPaths.push_back(installFolder);
    std::sort(folderPaths.begin(), folderPaths.end(),
              [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
    for (const std::wstring& folder : folderPaths)
      if (!RemoveDirectoryW(folder.c_str()) && FolderExists(folder))
        result.FoldersKept.push_back(folder);
  }

  // A name that is empty or holds "\" would name another key than the product's.
  const std::wstring& name = command.ProgramName;
  const std::wstring key = UninstallRegistryKey(name);
  if (name.empty() || name.find(L'\\') != std::wstring::npos) {
    result.NotRemoved.push_back(L"HKEY_LOCAL_MACHINE\\" + key);
  } else {
    const LSTATUS status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
      result.NotRemoved.push_back(L"HKEY_LOCAL_MACHINE\\" + key);
  }
  return result;
}

std::wstring UninstallQuestion(const std::wstring& programName) {
  return L"Удалить программу «" + programName + L"» со всеми её компонентами?";
}

std::wstring UninstallReport(const std::wstring& programName, const UninstallResult& result) {
  std::wstring text;
  if (!result.ScriptFound)
    text = L"Файл сценария удаления не найден; удалена только запись программы «" + programName +
           L"» в списке установленных программ.";
  else if (result.NotRemoved.empty())
    text = L"Программа «" + programName + L"» удалена.";
  else
    text = L"Программа «" + programName + L"» удалена не полностью.";

  constexpr size_t kShown = 15;
  auto list = [&](const wchar_t* heading, const std::vector<std::wstring>& items) {
    if (items.empty())
      return;
    text += L"\r\n\r\n";
    text += heading;
    for (size_t i = 0; i < items.size() && i < kShown; ++i) text += L"\r\n" + items[i];
    if (items.size() > kShown)
      text += L"\r\n… и ещё " + std::to_wstring(items.size() - kShown);
  };
  list(L"Не удалось удалить:", result.NotRemoved);
  list(L"Папки оставлены, так как в них есть другие файлы:", result.FoldersKept);
  return text;
}
