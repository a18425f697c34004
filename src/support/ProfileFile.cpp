#include "support/ProfileFile.h"

#include <windows.h>

#include "support/CodePage.h"
#include "support/Error.h"
#include "support/FileSystem.h"

namespace {
bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\v' || c == L'\f' || c == 0x1a;
}

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Upper case of one character: ASCII inline, anything else by the system's rules.
wchar_t FoldChar(wchar_t c) {
  if (c < 0x80)
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
  wchar_t upper = c;
  LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &c, 1, &upper, 1);
  return upper;
}

// What a reader sees: one pair of matching quotes removed, cut at 2,047 characters.
std::wstring ReaderValue(std::wstring_view raw) {
  if (raw.size() >= 2 && (raw.front() == L'"' || raw.front() == L'\'') && raw.back() == raw.front())
    raw = raw.substr(1, raw.size() - 2);
  if (raw.size() > ProfileFile::kMaxValueLength)
    raw = raw.substr(0, ProfileFile::kMaxValueLength);
  return std::wstring(raw);
}
}  // namespace

size_t NoCaseHash::operator()(std::wstring_view text) const noexcept {
  size_t hash = 2166136261u;  // FNV-1a over the folded characters
  for (wchar_t c : text) hash = (hash ^ static_cast<size_t>(FoldChar(c))) * 16777619u;
  return hash;
}

bool NoCaseEqual::operator()(std::wstring_view a, std::wstring_view b) const noexcept {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && FoldChar(a[i]) != FoldChar(b[i]))
      return false;
  return true;
}

ProfileFile ProfileFile::Load(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
    return ProfileFile();
  return FromText(FromCp1251(ReadWholeFile(path)));
}

ProfileFile ProfileFile::FromText(std::wstring_view text) {
  ProfileFile profile;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos)
      end = text.size();
    profile.ParseLine(text.substr(start, end - start));
    start = end;
    // One line break is CR LF, LF or CR; further breaks make blank lines.
    if (start < text.size() && text[start] == L'\r')
      ++start;
    if (start < text.size() && text[start] == L'\n')
      ++start;
  }
  return profile;
}

ProfileFile::Section& ProfileFile::NewSection(std::wstring name, bool hasHeader) {
  sectionIndex_.try_emplace(name, sections_.size());
  sections_.push_back(Section{std::move(name), hasHeader, {}, {}, {}});
  return sections_.back();
}

void ProfileFile::AddKey(Section& section, Line line) {
  for (std::wstring& kept : section.trailer)
    section.lines.push_back(Line{std::move(kept), {}, false, false});
  section.trailer.clear();
  section.keys.try_emplace(line.name, section.lines.size());
  section.lines.push_back(std::move(line));
}

void ProfileFile::ParseLine(std::wstring_view raw) {
  std::wstring_view line = Trim(raw);
  if (line.empty()) {
    if (sections_.empty())
      NewSection(L"", false);
    sections_.back().trailer.emplace_back(raw);
    return;
  }
  if (line.front() == L'[') {
    size_t close = line.rfind(L']');
    if (close != std::wstring_view::npos && close > 0) {
      NewSection(std::wstring(Trim(line.substr(1, close - 1))), true);
      return;
    }
  }
  if (sections_.empty())
    NewSection(L"", false);
  Line entry;
  entry.isKey = true;
  size_t equals = line.find(L'=');
  if (equals == std::wstring_view::npos) {
    entry.name = std::wstring(line);
  } else {
    entry.name = std::wstring(Trim(line.substr(0, equals)));
    entry.value = std::wstring(Trim(line.substr(equals + 1)));
    entry.hasValue = true;
  }
  AddKey(sections_.back(), std::move(entry));
}

const ProfileFile::Line* ProfileFile::FindKey(std::wstring_view section,
                                              std::wstring_view key) const {
  auto found = sectionIndex_.find(Trim(section));
  if (found == sectionIndex_.end())
    return nullptr;
  const Section& s = sections_[found->second];
  auto k = s.keys.find(Trim(key));
  return k == s.keys.end() ? nullptr : &s.lines[k->second];
}

std::wstring ProfileFile::ReadString(std::wstring_view section, std::wstring_view key,
                                     std::wstring_view defaultValue) const {
  const Line* line = FindKey(section, key);
  if (!line || !line->hasValue)
    return ReaderValue(Trim(defaultValue));
  return ReaderValue(line->value);
}

bool ProfileFile::HasKey(std::wstring_view section, std::wstring_view key) const {
  const Line* line = FindKey(section, key);
  return line && line->hasValue;
}

bool ProfileFile::HasSection(std::wstring_view section) const {
  return sectionIndex_.count(Trim(section)) != 0;
}

std::vector<std::pair<std::wstring, std::wstring>> ProfileFile::ReadSection(
    std::wstring_view section) const {
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  auto found = sectionIndex_.find(Trim(section));
  if (found == sectionIndex_.end())
    return pairs;
  for (const Line& line : sections_[found->second].lines)
    if (line.isKey && line.hasValue)
      pairs.emplace_back(line.name, ReaderValue(line.value));
  return pairs;
}

void ProfileFile::WriteString(std::wstring_view section, std::wstring_view key,
                              std::wstring_view value) {
  std::wstring_view sectionName = Trim(section);
  std::wstring_view keyName = Trim(key);
  auto found = sectionIndex_.find(sectionName);
  Section* target;
  if (found == sectionIndex_.end()) {
    if (!sections_.empty() && (sections_.back().lines.size() || sections_.back().hasHeader) &&
        sections_.back().trailer.empty())
      sections_.back().trailer.emplace_back();  // a blank line between sections
    target = &NewSection(std::wstring(sectionName), true);
  } else {
    target = &sections_[found->second];
  }
  auto k = target->keys.find(keyName);
  if (k != target->keys.end()) {
    Line& line = target->lines[k->second];
    line.value = std::wstring(Trim(value));
    line.hasValue = true;
    return;
  }
  Line line;
  line.name = std::wstring(keyName);
  line.value = std::wstring(Trim(value));
  line.hasValue = true;
  line.isKey = true;
  // A new key follows the last key of its section, before any trailing blank lines.
  target->keys.try_emplace(line.name, target->lines.size());
  target->lines.push_back(std::move(line));
}

std::wstring ProfileFile::ToText() const {
  size_t length = 0;
  for (const Section& section : sections_) {
    length += section.name.size() + 4;
    for (const Line& line : section.lines) length += line.name.size() + line.value.size() + 3;
    for (const std::wstring& line : section.trailer) length += line.size() + 2;
  }
  std::wstring text;
  text.reserve(length);
  for (const Section& section : sections_) {
    if (section.hasHeader)
      text += L'[' + section.name + L"]\r\n";
    for (const Line& line : section.lines) {
      text += line.name;
      if (line.hasValue) {
        text += L'=';
        text += line.value;
      }
      text += L"\r\n";
    }
    for (const std::wstring& line : section.trailer) {
      text += line;
      text += L"\r\n";
    }
  }
  return text;
}

void ProfileFile::Save(const std::wstring& path) const {
  try {
    WriteWholeFile(path, ToCp1251(ToText()));
  } catch (const KovrinError& error) {
    throw KovrinError(L"Unable to write to " + path + L" (" + error.Message() + L")");
  }
}
