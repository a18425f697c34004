#include "support/FileControl.h"

#include <windows.h>

#include "support/Handle.h"

int ClearFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  FindHandle find(FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
  if (!find)
    return 0;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
  } while (FindNextFileW(find.Get(), &entry));
  return 0;
}
