#pragma once
// Names that Windows itself compares: of files, folders, registry keys and profile
// sections. Header-only, so that the self-extractor uses it without support/.

#include <windows.h>

#include <string_view>

// Equal as Windows compares such names: every letter without regard to case,
// Cyrillic included ("Файл.txt" and "ФАЙЛ.TXT" are one file). Use it for every
// name that the file system, the registry or a profile file matches. Values of
// the setup script and the project file that the kit itself compares ("Yes",
// "rtf", "Bold", switches) follow EqualNoCase (support/Strings.h) instead,
// which ignores the case of Latin letters only.
inline bool SameFileName(std::wstring_view a, std::wstring_view b) noexcept {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The part of a path after its last "\" or "/": the whole text when it has
// none, empty when it ends in a separator. FolderOf (support/FileSystem.h)
// gives the part before it, so the two joined are the path again.
inline std::wstring_view FileNamePart(std::wstring_view path) noexcept {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}
