#include "designer/RecordedSizes.h"

#include <windows.h>

#include "support/Handle.h"

namespace {
std::wstring Upper(std::wstring text) {
  if (!text.empty())
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

int64_t SizeOf(const WIN32_FIND_DATAW& found) {
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    return -1;
  return static_cast<int64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
}

int64_t AskedAlone(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  return static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}
}  // namespace

void RecordedSizes::List(const std::wstring& folder, Folder& into) {
  into.listed = true;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!search)
    return;
  do {
    into.sizes.emplace(Upper(found.cFileName), SizeOf(found));
  } while (FindNextFileW(search.Get(), &found));
}

int64_t RecordedSizes::Of(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos || cut + 1 == path.size())
    return AskedAlone(path);
  const std::wstring folder = path.substr(0, cut + 1);
  Folder& entry = folders_[Upper(folder)];
  // A folder of one listed file is not worth a listing.
  if (!entry.listed && ++entry.asked >= 2)
    List(folder, entry);
  if (entry.listed) {
    const auto found = entry.sizes.find(Upper(path.substr(cut + 1)));
    if (found != entry.sizes.end())
      return found->second;
  }
  return AskedAlone(path);
}
