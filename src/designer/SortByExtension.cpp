#include "designer/SortByExtension.h"

#include <algorithm>
#include <utility>

#include "support/CodePage.h"

std::wstring_view ExtensionOf(std::wstring_view relativeName) {
  const size_t dot = relativeName.find_last_of(L'.');
  if (dot == std::wstring_view::npos)
    return {};
  const size_t separator = relativeName.find_last_of(L"\\:");
  if (separator != std::wstring_view::npos && separator > dot)
    return {};
  return relativeName.substr(dot + 1);
}

namespace {
// std::string compares its chars as unsigned bytes (char_traits<char>::lt), so
// the cp1251 bytes themselves are the sort key.
std::string ExtensionKey(std::wstring_view relativeName) {
  return ToCp1251(ExtensionOf(relativeName));
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}
}  // namespace

int CompareExtensions(std::wstring_view relativeNameA, std::wstring_view relativeNameB) {
  return Sign(ExtensionKey(relativeNameA).compare(ExtensionKey(relativeNameB)));
}

void SortFilesByExtension(std::vector<FileEntry>& files) {
  // Each key is converted once, not once per comparison.
  std::vector<std::pair<std::string, FileEntry>> keyed;
  keyed.reserve(files.size());
  for (FileEntry& file : files)
    keyed.emplace_back(ExtensionKey(file.RelativeName), std::move(file));
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < files.size(); ++i) files[i] = std::move(keyed[i].second);
}
