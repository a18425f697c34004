#pragma once
// What the uninstaller removes, without its message boxes: the files and links
// that Uninst.ini lists, the folders of the install tree that are left empty,
// Uninst.ini itself and the program's uninstall registry key.

#include <string>
#include <vector>

#include "formats/UninstallRecord.h"

struct UninstallResult {
  bool ScriptFound = false;
  std::vector<std::wstring> NotRemoved;   // files, links and keys that could not be removed
  std::vector<std::wstring> FoldersKept;  // install folders that still hold other files
};

// Removes every file under [Files] and every link under [ShortCuts] (keys File<n>
// and ShortCut<n>, whatever their numbering), then Uninst.ini, then each folder of
// the install tree that is now empty, deepest first (never a recursive delete),
// then HKLM's uninstall key named after the program. `selfPath` is never deleted:
// several products share one uninstaller. Without Uninst.ini only the key goes.
UninstallResult RemoveInstallation(const UninstallCommand& command, const std::wstring& selfPath);

// The texts of the uninstaller's boxes.
inline constexpr wchar_t kUninstallCaption[] = L"Удаление программы";
std::wstring UninstallQuestion(const std::wstring& programName);
std::wstring UninstallReport(const std::wstring& programName, const UninstallResult& result);
inline constexpr wchar_t kBadCommandLine[] =
    L"Программа удаления запускается из списка установленных программ: ей нужны путь к файлу "
    L"Uninst.ini и название программы в кавычках.";
