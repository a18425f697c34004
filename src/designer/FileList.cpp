#include "designer/FileList.h"

#include <windows.h>

#include "support/CodePage.h"
#include "support/FileNames.h"
#include "support/FileSystem.h"
#include "support/Handle.h"
#include "support/Strings.h"

std::optional<FileEntry> SingleFileEntry(const std::wstring& path, FileRefusal* refusal) {
  int64_t size = GetFileSize64(path);
  if (size >= kPackageFileLimit) {
    if (refusal)
      *refusal = FileRefusal::TooLarge;
    return std::nullopt;
  }
  FileEntry entry;
  entry.RelativeName = FileNamePart(path);
  if (!Cp1251CanHold(entry.RelativeName)) {
    if (refusal)
      *refusal = FileRefusal::NameNotInCodePage;
    return std::nullopt;
  }
  entry.LocalFolder = FolderOf(path);
  entry.Size = size;
  return entry;
}

namespace {
bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// One walker per "Добавить папку": the prefix to cut is computed once.
class FolderWalk {
 public:
  FolderWalk(const std::wstring& folderRoot, FileRowSink& sink)
      : root_(folderRoot), cut_(WithTrailingBackslash(folderRoot).size()), sink_(sink) {}

  bool Walk(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search)
      return true;
    do {
      std::wstring path = folder + L'\\' + found.cFileName;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (IsDotEntry(found.cFileName) || (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
          continue;
        if (!Walk(path))
          return false;
        continue;
      }
      int64_t size = (static_cast<int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
      if (size >= kPackageFileLimit) {
        sink_.RefuseFile(path, FileRefusal::TooLarge);
        continue;
      }
      FileEntry entry;
      entry.RelativeName = path.size() > cut_ ? path.substr(cut_) : std::wstring();
      if (!Cp1251CanHold(entry.RelativeName)) {
        sink_.RefuseFile(path, FileRefusal::NameNotInCodePage);
        continue;
      }
      entry.LocalFolder = root_;
      entry.Size = size;
      if (!sink_.AddFileRow(std::move(entry)))
        return false;
    } while (FindNextFileW(search.Get(), &found));
    return true;
  }

 private:
  const std::wstring& root_;
  size_t cut_;
  FileRowSink& sink_;
};
}  // namespace

bool AddFolderTree(const std::wstring& folder, const std::wstring& folderRoot, FileRowSink& sink) {
  return FolderWalk(folderRoot, sink).Walk(folder);
}

std::wstring RefusedFilesText(FileRefusal reason, const std::vector<std::wstring>& paths) {
  constexpr size_t kShown = 10;
  const bool one = paths.size() == 1;
  std::wstring text;
  if (reason == FileRefusal::TooLarge)
    text = one ? L"Файл не добавлен в список, так как его размер 2 ГБ или больше:\n"
               : L"Файлы не добавлены в список, так как размер каждого 2 ГБ или больше:\n";
  else
    text = one ? L"Файл не добавлен в список, так как в его имени есть знаки, которых нет в "
                 L"кодировке Windows-1251:\n"
               : L"Файлы не добавлены в список, так как в их именах есть знаки, которых нет в "
                 L"кодировке Windows-1251:\n";
  for (size_t i = 0; i < paths.size() && i < kShown; ++i) text += L"\n" + paths[i];
  if (paths.size() > kShown)
    text += L"\n… и ещё " + std::to_wstring(paths.size() - kShown);
  text += reason == FileRefusal::TooLarge
              ? L"\n\nУстановочный пакет не может хранить файлы такого размера."
              : L"\n\nСценарий установки хранит имена файлов в этой кодировке. Переименуйте "
                L"файл и добавьте его снова.";
  return text;
}

const wchar_t* RefusedFilesPromptId(FileRefusal reason) {
  return reason == FileRefusal::TooLarge ? L"files.too_large" : L"files.name_not_in_code_page";
}

std::wstring FileCountText(int count) {
  return L"Всего файлов: " + IntToText(count);
}

std::wstring TotalSizeText(int64_t total) {
  return L"Общий размер: " + IntToText(LowSigned32(total)) + L" байт";
}

std::wstring SizeText(int64_t size) {
  return IntToText(LowSigned32(size));
}
