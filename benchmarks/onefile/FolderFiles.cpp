#include "FolderFiles.h"

#include <windows.h>

#include <algorithm>

#include "support/Error.h"
#include "support/Handle.h"

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (!find)
    throw KovrinError(L"no files in " + folder);
  do {
    if (!(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
      names.push_back(entry.cFileName);
  } while (FindNextFileW(find.Get(), &entry));
  std::sort(names.begin(), names.end());
  return names;
}
