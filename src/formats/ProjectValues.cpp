#include "formats/ProjectValues.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "support/FileNames.h"
#include "support/FileSystem.h"

namespace {
bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xd800 && c <= 0xdbff;
}

bool IsLowSurrogate(wchar_t c) {
  return c >= 0xdc00 && c <= 0xdfff;
}

// Characters that a line of UTF-8 text cannot carry as they are, or that an
// editor might take for a line break.
bool NeedsEscape(std::wstring_view value, size_t i, bool asciiOnly) {
  const wchar_t c = value[i];
  if (c < 0x20 || c == 0x7f || c == L'\\' || c == L'"')
    return true;
  if (asciiOnly && c > 0x7f)
    return true;
  if (c == 0x85 || c == 0x2028 || c == 0x2029)
    return true;
  if (IsHighSurrogate(c))
    return i + 1 >= value.size() || !IsLowSurrogate(value[i + 1]);
  if (IsLowSurrogate(c))
    return i == 0 || !IsHighSurrogate(value[i - 1]);
  return false;
}

bool NeedsQuotes(std::wstring_view value, bool asciiOnly) {
  if (value.empty())
    return false;
  if (IsBlank(value.front()) || IsBlank(value.back()) || value.front() == L'"')
    return true;
  for (size_t i = 0; i < value.size(); ++i)
    if (value[i] != L'\\' && value[i] != L'"' && NeedsEscape(value, i, asciiOnly))
      return true;
  return false;
}

// The characters written as a backslash and a letter, read back the same way.
struct ShortEscape {
  wchar_t plain;
  wchar_t letter;
};
constexpr ShortEscape kShortEscapes[] = {
    {L'\\', L'\\'}, {L'"', L'"'}, {L'\t', L't'}, {L'\r', L'r'}, {L'\n', L'n'}};

const wchar_t kHex[] = L"0123456789ABCDEF";

void AppendHex(std::wstring& out, unsigned value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xf];
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9')
    return c - L'0';
  if (c >= L'a' && c <= L'f')
    return c - L'a' + 10;
  if (c >= L'A' && c <= L'F')
    return c - L'A' + 10;
  return -1;
}

bool IsAbsolute(const std::wstring& path) {
  if (!path.empty() && (path[0] == L'\\' || path[0] == L'/'))
    return true;
  return path.size() >= 2 && path[1] == L':' &&
         ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

const wchar_t kHere[] = L".";
const wchar_t kHereWithBackslash[] = L".\\";
}  // namespace

size_t ControlCharacterAt(std::wstring_view value) {
  for (size_t i = 0; i < value.size(); ++i) {
    const wchar_t c = value[i];
    if (c < 0x20 || c == 0x7f || c == 0x85 || c == 0x2028 || c == 0x2029)
      return i;
  }
  return std::wstring_view::npos;
}

std::wstring CharacterCode(wchar_t c) {
  std::wstring code = L"U+";
  AppendHex(code, c, 4);
  return code;
}

std::wstring EncodeProjectValue(std::wstring_view value, bool asciiOnly) {
  if (!NeedsQuotes(value, asciiOnly))
    return std::wstring(value);
  std::wstring out = L"\"";
  for (size_t i = 0; i < value.size(); ++i) {
    const wchar_t c = value[i];
    if (!NeedsEscape(value, i, asciiOnly)) {
      out += c;
      continue;
    }
    const auto escape = std::find_if(std::begin(kShortEscapes), std::end(kShortEscapes),
                                     [c](const ShortEscape& e) { return e.plain == c; });
    if (escape != std::end(kShortEscapes)) {
      out += L'\\';
      out += escape->letter;
    } else if (c <= 0xff) {
      out += L"\\x";
      AppendHex(out, c, 2);
    } else {
      out += L"\\u";
      AppendHex(out, c, 4);
    }
  }
  out += L'"';
  return out;
}

std::optional<std::wstring> DecodeProjectValue(std::wstring_view raw, std::wstring& problem) {
  while (!raw.empty() && IsBlank(raw.front())) raw.remove_prefix(1);
  while (!raw.empty() && IsBlank(raw.back())) raw.remove_suffix(1);
  if (raw.empty() || raw.front() != L'"')
    return std::wstring(raw);
  if (raw.size() < 2 || raw.back() != L'"') {
    problem = L"значение в кавычках должно кончаться двойной кавычкой";
    return std::nullopt;
  }
  const std::wstring_view inner = raw.substr(1, raw.size() - 2);
  std::wstring value;
  value.reserve(inner.size());
  for (size_t i = 0; i < inner.size(); ++i) {
    const wchar_t c = inner[i];
    if (c == L'"') {
      problem = L"двойную кавычку внутри значения в кавычках пишут как \\\"";
      return std::nullopt;
    }
    if (c != L'\\') {
      value += c;
      continue;
    }
    if (++i >= inner.size()) {
      problem = L"значение обрывается на обратной косой черте";
      return std::nullopt;
    }
    const wchar_t kind = inner[i];
    const auto escape = std::find_if(std::begin(kShortEscapes), std::end(kShortEscapes),
                                     [kind](const ShortEscape& e) { return e.letter == kind; });
    if (escape != std::end(kShortEscapes)) {
      value += escape->plain;
      continue;
    }
    const int digits = kind == L'x' ? 2 : kind == L'u' ? 4 : 0;
    if (digits == 0) {
      problem = std::wstring(L"неизвестная последовательность \\") + kind;
      return std::nullopt;
    }
    unsigned code = 0;
    for (int d = 0; d < digits; ++d) {
      const int digit = i + 1 < inner.size() ? HexDigit(inner[i + 1]) : -1;
      if (digit < 0) {
        problem = std::wstring(L"после \\") + kind + L" нужны " + std::to_wstring(digits) +
                  L" шестнадцатеричные цифры";
        return std::nullopt;
      }
      code = code * 16 + static_cast<unsigned>(digit);
      ++i;
    }
    value += static_cast<wchar_t>(code);
  }
  return value;
}

std::wstring ProjectFolderOf(const std::wstring& projectPath) {
  const std::wstring folder = FolderOf(projectPath);
  if (folder.size() == 3 && folder[1] == L':')
    return folder;  // a drive root keeps its backslash
  return WithoutTrailingBackslash(folder);
}

std::wstring StoredSourceFolder(const std::wstring& localFolder,
                                const std::wstring& projectFolder) {
  if (projectFolder.empty() || localFolder.empty())
    return localFolder;
  if (SameFileName(localFolder, projectFolder))
    return kHere;
  const std::wstring base = WithTrailingBackslash(projectFolder);
  if (SameFileName(localFolder, base))
    return kHereWithBackslash;
  if (localFolder.size() <= base.size() ||
      !SameFileName(std::wstring_view(localFolder).substr(0, base.size()), base))
    return localFolder;
  std::wstring rest = localFolder.substr(base.size());
  // A rest that would read back as something else stays absolute.
  if (IsAbsolute(rest) || rest == kHere || rest == kHereWithBackslash)
    return localFolder;
  return rest;
}

std::wstring ResolvedSourceFolder(const std::wstring& stored, const std::wstring& projectFolder) {
  if (stored.empty() || projectFolder.empty() || IsAbsolute(stored))
    return stored;
  if (stored == kHere)
    return projectFolder;
  if (stored == kHereWithBackslash)
    return WithTrailingBackslash(projectFolder);
  return WithTrailingBackslash(projectFolder) + stored;
}
