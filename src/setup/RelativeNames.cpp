#include "setup/RelativeNames.h"

bool IsSafeRelativeName(std::wstring_view name) {
  if (name.empty() || name.front() == L'\\' || name.front() == L'/')
    return false;
  if (name.find(L':') != std::wstring_view::npos)
    return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of(L"\\/", start);
    if (end == std::wstring_view::npos)
      end = name.size();
    std::wstring_view part = name.substr(start, end - start);
    // Windows drops trailing dots and blanks, so ".. " and "..." climb like "..".
    size_t last = part.find_last_not_of(L". ");
    if (!part.empty() && last == std::wstring_view::npos &&
        part.find(L"..") != std::wstring_view::npos)
      return false;
    start = end + 1;
  }
  return true;
}
