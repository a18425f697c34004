#include "support/PathNames.h"

#include <windows.h>

#include <cwctype>

#include "support/FileSystem.h"

namespace {
bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

wchar_t Upper(wchar_t c) {
  return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualsUpper(std::wstring_view text, std::wstring_view upper) {
  if (text.size() != upper.size())
    return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (Upper(text[i]) != upper[i])
      return false;
  return true;
}

// Calls `visit` with each component between separators, empty ones included.
template <typename Visit>
bool EveryComponent(std::wstring_view path, Visit visit) {
  size_t start = 0;
  for (;;) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (!visit(path.substr(start, end - start)))
      return false;
    if (end >= path.size())
      return true;
    start = end + 1;
  }
}

// Length of the root of an absolute path ("C:\" is 3, "\\server\share\" up to
// and with the separator after the share), or 0 when the path is not absolute.
size_t RootLength(std::wstring_view path) {
  if (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2]) &&
      ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')))
    return 3;
  if (path.size() < 5 || !IsSeparator(path[0]) || !IsSeparator(path[1]))
    return 0;
  size_t server = 2;
  while (server < path.size() && !IsSeparator(path[server])) ++server;
  if (server == 2 || server >= path.size())
    return 0;
  const std::wstring_view serverName = path.substr(2, server - 2);
  if (serverName == L"?" || serverName == L".")
    return 0;  // device and verbatim paths bypass the rules this file keeps
  size_t share = server + 1;
  while (share < path.size() && !IsSeparator(path[share])) ++share;
  if (share == server + 1)
    return 0;
  return share < path.size() ? share + 1 : share;
}
}  // namespace

bool IsDeviceName(std::wstring_view component) {
  std::wstring_view base = component.substr(0, component.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"})
    if (EqualsUpper(base, device))
      return true;
  if (base.size() == 4 &&
      (EqualsUpper(base.substr(0, 3), L"COM") || EqualsUpper(base.substr(0, 3), L"LPT"))) {
    const wchar_t digit = base[3];
    return (digit >= L'1' && digit <= L'9') || digit == L'\u00b9' || digit == L'\u00b2' ||
           digit == L'\u00b3';
  }
  return false;
}

bool IsPortableName(std::wstring_view component) {
  if (component.empty() || component.back() == L'.' || component.back() == L' ')
    return false;  // also "." and ".."
  for (wchar_t c : component)
    if (c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos)
      return false;
  return !IsDeviceName(component);
}

bool IsSafeRelativeName(std::wstring_view name) {
  return EveryComponent(name, [](std::wstring_view part) { return IsPortableName(part); });
}

bool IsAbsolutePath(std::wstring_view path) {
  return RootLength(path) > 0;
}

bool IsPortableAbsolutePath(std::wstring_view path) {
  const size_t root = RootLength(path);
  if (root == 0)
    return false;
  std::wstring_view rest = path.substr(root);
  if (!rest.empty() && IsSeparator(rest.back()))
    rest.remove_suffix(1);
  return rest.empty() || IsSafeRelativeName(rest);
}

std::wstring FullPathName(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0)
    return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size)
    return path;
  full.resize(length);
  return full;
}

std::wstring LongFullPath(const std::wstring& path) {
  std::wstring full = FullPathName(path);
  const size_t root = RootLength(full);
  while (full.size() > root && root > 0 && IsSeparator(full.back())) full.pop_back();
  // Only a short name the system made has a '~' (BASENA~1.EXT); a path without
  // one is its own long form. Asking the system anyway costs a directory lookup
  // per component, and the install engine calls this several times per file.
  if (full.find(L'~', root) == std::wstring::npos)
    return full;
  // The longest existing head gets its long form; the rest follows as written.
  std::wstring head = full;
  std::wstring tail;
  for (;;) {
    const DWORD size = GetLongPathNameW(head.c_str(), nullptr, 0);
    if (size > 0) {
      std::wstring longHead(size, L'\0');
      const DWORD length = GetLongPathNameW(head.c_str(), longHead.data(), size);
      if (length > 0 && length < size) {
        longHead.resize(length);
        return tail.empty() ? longHead : WithoutTrailingBackslash(longHead) + tail;
      }
    }
    const size_t slash = head.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash + 1 <= root)
      return full;
    tail = head.substr(slash) + tail;
    head.resize(slash);
  }
}

std::wstring ShortPathName(const std::wstring& path) {
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0)
    return path;
  std::wstring shortName(size, L'\0');
  const DWORD length = GetShortPathNameW(path.c_str(), shortName.data(), size);
  if (length == 0 || length >= size)
    return path;
  shortName.resize(length);
  return shortName;
}

std::wstring FoldedPath(std::wstring path) {
  if (!path.empty())
    CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  return path;
}

bool IsPathInside(const std::wstring& path, const std::wstring& folder) {
  const std::wstring inner = FoldedPath(LongFullPath(path));
  const std::wstring outer = FoldedPath(WithTrailingBackslash(LongFullPath(folder)));
  return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0;
}
