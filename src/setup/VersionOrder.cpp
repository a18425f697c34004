#include "setup/VersionOrder.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {
// The numbers of "1.10.0" without leading zeros ("1", "10", "0"), compared as
// digit strings so that no length overflows; nothing for any other text.
std::optional<std::vector<std::wstring_view>> Numbers(std::wstring_view text) {
  while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
  if (text.empty())
    return std::nullopt;
  std::vector<std::wstring_view> numbers;
  for (;;) {
    const size_t dot = text.find(L'.');
    std::wstring_view number = text.substr(0, dot);
    if (number.empty())
      return std::nullopt;
    for (wchar_t c : number)
      if (c < L'0' || c > L'9')
        return std::nullopt;
    while (number.size() > 1 && number.front() == L'0') number.remove_prefix(1);
    numbers.push_back(number);
    if (dot == std::wstring_view::npos)
      return numbers;
    text.remove_prefix(dot + 1);
  }
}

int CompareNumbers(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size())
    return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}
}  // namespace

VersionOrder CompareVersions(std::wstring_view offered, std::wstring_view installed) {
  const auto a = Numbers(offered);
  const auto b = Numbers(installed);
  if (!a || !b)
    return VersionOrder::Unknown;
  const size_t count = std::max(a->size(), b->size());
  for (size_t i = 0; i < count; ++i) {
    // A missing trailing number is 0: "2" is "2.0".
    const std::wstring_view x = i < a->size() ? (*a)[i] : L"0";
    const std::wstring_view y = i < b->size() ? (*b)[i] : L"0";
    if (const int order = CompareNumbers(x, y); order != 0)
      return order < 0 ? VersionOrder::Older : VersionOrder::Newer;
  }
  return VersionOrder::Same;
}
