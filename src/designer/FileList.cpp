#include "designer/FileList.h"

#include <windows.h>

#include "support/FileSystem.h"
#include "support/Handle.h"
#include "support/Strings.h"

std::optional<FileEntry> SingleFileEntry(const std::wstring& path) {
  int64_t size = GetFileSize64(path);
  if (size >= kPackageFileLimit)
    return std::nullopt;
  FileEntry entry;
  size_t slash = path.find_last_of(L'\\');
  entry.RelativeName = slash == std::wstring::npos ? path : path.substr(slash + 1);
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
        sink_.RefuseFile(path);
        continue;
      }
      FileEntry entry;
      entry.RelativeName = path.size() > cut_ ? path.substr(cut_) : std::wstring();
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

std::wstring FileCountText(int count) {
  return L"Всего файлов: " + IntToText(count);
}

std::wstring TotalSizeText(int64_t total) {
  return L"Общий размер: " + IntToText(LowSigned32(total)) + L" байт";
}

std::wstring SizeText(int64_t size) {
  return IntToText(LowSigned32(size));
}
