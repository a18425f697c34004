#include "support/ProfileFile.h"

#include <windows.h>

#include <algorithm>
#include <array>

#include "support/CodePage.h"
#include "support/Error.h"
#include "support/FileSystem.h"

namespace {
// The blanks that trimming removes; all of them are ASCII, so the same bytes.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == 0x1a;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::wstring_view TrimWide(std::wstring_view text) {
  auto blank = [](wchar_t c) { return c < 0x80 && IsBlank(static_cast<char>(c)); };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Upper case of each byte's character: ASCII inline, the rest by the system's rules.
const std::array<wchar_t, 256>& FoldTable() {
  static const std::array<wchar_t, 256> table = [] {
    std::array<wchar_t, 256> folded{};
    for (int b = 0; b < 256; ++b) {
      wchar_t c = Cp1251Char(static_cast<unsigned char>(b));
      wchar_t upper = c;
      if (c < 0x80)
        upper = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
      else
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &c, 1, &upper, 1);
      folded[b] = upper;
    }
    return folded;
  }();
  return table;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  const std::array<wchar_t, 256>& fold = FoldTable();
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] &&
        fold[static_cast<unsigned char>(a[i])] != fold[static_cast<unsigned char>(b[i])])
      return false;
  return true;
}

// Spreads the bits, so that the low bits that pick a slot depend on every character.
uint32_t Mix(uint32_t h) {
  h ^= h >> 16;
  h *= 0x85ebca6bu;
  h ^= h >> 13;
  h *= 0xc2b2ae35u;
  h ^= h >> 16;
  return h;
}

uint32_t NameHash(std::string_view name) {
  const std::array<wchar_t, 256>& fold = FoldTable();
  uint32_t hash = 2166136261u;  // FNV-1a over the folded characters
  for (char c : name) hash = (hash ^ fold[static_cast<unsigned char>(c)]) * 16777619u;
  return Mix(hash);
}

// A name asked for, in the file's bytes; the short names of the kit stay on the stack.
class NameBytes {
 public:
  explicit NameBytes(std::wstring_view name) {
    name = TrimWide(name);
    const bool fits = name.size() <= sizeof small_ &&
                      std::none_of(name.begin(), name.end(),
                                   [](wchar_t c) { return c >= 0xd800 && c <= 0xdfff; });
    if (fits) {
      for (size_t i = 0; i < name.size(); ++i) small_[i] = Cp1251Byte(name[i]);
      view_ = std::string_view(small_, name.size());
    } else {
      large_ = ToCp1251(name);
      view_ = large_;
    }
  }
  NameBytes(const NameBytes&) = delete;
  NameBytes& operator=(const NameBytes&) = delete;
  std::string_view View() const { return view_; }

 private:
  char small_[128];
  std::string large_;
  std::string_view view_;
};

// What a reader sees: one pair of matching quotes removed, cut at 2,047 characters.
template <typename View>
View ReaderValue(View raw) {
  if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front())
    raw = raw.substr(1, raw.size() - 2);
  if (raw.size() > ProfileFile::kMaxValueLength)
    raw = raw.substr(0, ProfileFile::kMaxValueLength);
  return raw;
}

constexpr wchar_t kTooLarge[] = L"The profile is too large.";

bool IsMissing(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

[[noreturn]] void ThrowTooLarge() {
  Raise(KovrinError(kTooLarge));
}
}  // namespace

template <typename SameName>
size_t ProfileFile::Index::Find(uint32_t hash, SameName sameName) const {
  if (slots_.empty())
    return kMissing;
  const size_t mask = slots_.size() - 1;
  for (size_t position = hash & mask;; position = (position + 1) & mask) {
    const Slot& slot = slots_[position];
    if (slot.item == kNone || (slot.hash == hash && sameName(slot.item)))
      return position;
  }
}

size_t ProfileFile::Index::FreeSlot(uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  size_t position = hash & mask;
  while (slots_[position].item != kNone) position = (position + 1) & mask;
  return position;
}

void ProfileFile::Index::Rebuild(size_t slots) {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(slots, Slot{});
  for (const Slot& slot : old)
    if (slot.item != kNone)
      slots_[FreeSlot(slot.hash)] = slot;
}

void ProfileFile::Index::Reserve(size_t items) {
  size_t slots = 16;
  while (slots < items * 2) slots *= 2;
  if (slots > slots_.size())
    Rebuild(slots);
}

void ProfileFile::Index::Fill(size_t position, uint32_t hash, uint32_t item) {
  if (position == kMissing || (used_ + 1) * 2 > slots_.size()) {
    Rebuild(slots_.empty() ? 16 : slots_.size() * 2);
    position = FreeSlot(hash);
  }
  slots_[position] = Slot{hash, item};
  ++used_;
}

// Two forms rather than one built on the other: a program that uses only one
// of them links only that one.
ProfileFile ProfileFile::Load(const std::wstring& path) {
  if (IsMissing(path))
    return ProfileFile();
  return FromBytes(ReadWholeFile(path));
}

std::optional<ProfileFile> ProfileFile::Load(const std::wstring& path, std::wstring& problem) {
  if (IsMissing(path))
    return ProfileFile();
  std::optional<std::string> bytes = ReadWholeFile(path, problem);
  if (!bytes)
    return std::nullopt;
  if (bytes->size() >= kNone) {
    problem = kTooLarge;
    return std::nullopt;
  }
  return FromBytes(std::move(*bytes));
}

ProfileFile ProfileFile::FromBytes(std::string bytes) {
  if (bytes.size() >= kNone)
    ThrowTooLarge();
  ProfileFile profile;
  profile.store_ = std::move(bytes);
  const char* const data = profile.store_.data();
  const size_t size = profile.store_.size();
  // One line per line break at most: sized once, never moved.
  profile.lines_.reserve(static_cast<size_t>(std::count(data, data + size, '\n')) +
                         static_cast<size_t>(std::count(data, data + size, '\r')) + 1);
  size_t start = 0;
  while (start < size) {
    size_t end = start;
    while (end < size && data[end] != '\r' && data[end] != '\n') ++end;
    profile.ParseLine(Span{static_cast<uint32_t>(start), static_cast<uint32_t>(end - start)});
    start = end;
    // One line break is CR LF, LF or CR; further breaks make blank lines.
    if (start < size && data[start] == '\r')
      ++start;
    if (start < size && data[start] == '\n')
      ++start;
  }
  profile.IndexLoadedKeys();
  return profile;
}

void ProfileFile::IndexLoadedKeys() {
  for (Section& section : sections_) {
    section.keys.Reserve(section.keyLines);
    for (uint32_t i = section.first; i != kNone; i = lines_[i].next) {
      if (lines_[i].kind == LineKind::Text)
        continue;
      const std::string_view name = View(lines_[i].name);
      const uint32_t hash = NameHash(name);
      const size_t position = FindKeySlot(section, name, hash);
      if (section.keys.ItemAt(position) == kNone) {  // the first of that name counts
        section.keys.Fill(position, hash, i);
        lines_[i].first = true;
      }
    }
  }
}

ProfileFile::Span ProfileFile::Store(std::wstring_view text) {
  const size_t at = store_.size();
  AppendCp1251(store_, text);
  if (store_.size() >= kNone)
    ThrowTooLarge();
  return Span{static_cast<uint32_t>(at), static_cast<uint32_t>(store_.size() - at)};
}

void ProfileFile::AppendLine(Section& section, const Line& line) {
  const uint32_t number = static_cast<uint32_t>(lines_.size());
  lines_.push_back(line);
  if (section.last == kNone)
    section.first = number;
  else
    lines_[section.last].next = number;
  section.last = number;
  if (line.kind != LineKind::Text)
    section.lastKey = number;
}

ProfileFile::Section& ProfileFile::NewSection(Span name, bool hasHeader) {
  const uint32_t number = static_cast<uint32_t>(sections_.size());
  const std::string_view text = View(name);
  const uint32_t hash = NameHash(text);
  const size_t position = sectionIndex_.Find(
      hash, [&](uint32_t item) { return SameNoCase(View(sections_[item].name), text); });
  if (sectionIndex_.ItemAt(position) == kNone)  // the first of that name counts
    sectionIndex_.Fill(position, hash, number);
  Section& section = sections_.emplace_back();
  section.name = name;
  section.hasHeader = hasHeader;
  return section;
}

size_t ProfileFile::FindKeySlot(const Section& section, std::string_view name,
                                uint32_t hash) const {
  return section.keys.Find(
      hash, [&](uint32_t item) { return SameNoCase(View(lines_[item].name), name); });
}

void ProfileFile::ParseLine(Span raw) {
  const std::string_view line = Trim(View(raw));
  auto spanOf = [&](std::string_view part) {
    return Span{static_cast<uint32_t>(part.data() - store_.data()),
                static_cast<uint32_t>(part.size())};
  };
  if (line.empty()) {
    if (sections_.empty())
      NewSection(Span{}, false);
    AppendLine(sections_.back(), Line{raw, {}, kNone, LineKind::Text});
    return;
  }
  if (line.front() == '[') {
    const size_t close = line.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      NewSection(spanOf(Trim(line.substr(1, close - 1))), true);
      return;
    }
  }
  if (sections_.empty())
    NewSection(Span{}, false);
  Line entry;
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    entry.name = spanOf(line);
    entry.kind = LineKind::KeyOnly;
  } else {
    entry.name = spanOf(Trim(line.substr(0, equals)));
    entry.value = spanOf(Trim(line.substr(equals + 1)));
    entry.kind = LineKind::Key;
  }
  ++sections_.back().keyLines;
  AppendLine(sections_.back(), entry);
}

uint32_t ProfileFile::FindSection(std::string_view name) const {
  const size_t position = sectionIndex_.Find(
      NameHash(name), [&](uint32_t item) { return SameNoCase(View(sections_[item].name), name); });
  return sectionIndex_.ItemAt(position);
}

const ProfileFile::Line* ProfileFile::FindKey(std::wstring_view section,
                                              std::wstring_view key) const {
  const uint32_t number = FindSection(NameBytes(section).View());
  if (number == kNone)
    return nullptr;
  const NameBytes name(key);
  if (lastSection_ == number) {
    uint32_t i = lines_[lastLine_].next;
    for (int step = 0; step < 2 && i != kNone; ++step, i = lines_[i].next) {
      if (lines_[i].first && SameNoCase(View(lines_[i].name), name.View())) {
        lastLine_ = i;
        return &lines_[i];
      }
    }
  }
  const Section& found = sections_[number];
  const uint32_t line = found.keys.ItemAt(FindKeySlot(found, name.View(), NameHash(name.View())));
  if (line == kNone)
    return nullptr;
  lastSection_ = number;
  lastLine_ = line;
  return &lines_[line];
}

std::wstring ProfileFile::ReadString(std::wstring_view section, std::wstring_view key,
                                     std::wstring_view defaultValue) const {
  const Line* line = FindKey(section, key);
  if (!line || line->kind != LineKind::Key)
    return std::wstring(ReaderValue(TrimWide(defaultValue)));
  return FromCp1251(ReaderValue(View(line->value)));
}

bool ProfileFile::HasKey(std::wstring_view section, std::wstring_view key) const {
  const Line* line = FindKey(section, key);
  return line && line->kind == LineKind::Key;
}

size_t ProfileFile::KeyCount(std::wstring_view section) const {
  const uint32_t number = FindSection(NameBytes(section).View());
  size_t count = 0;
  if (number != kNone)
    for (uint32_t i = sections_[number].first; i != kNone; i = lines_[i].next)
      count += lines_[i].kind == LineKind::Key;
  return count;
}

std::vector<std::pair<std::wstring, std::wstring>> ProfileFile::ReadSection(
    std::wstring_view section) const {
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  const uint32_t number = FindSection(NameBytes(section).View());
  if (number == kNone)
    return pairs;
  for (uint32_t i = sections_[number].first; i != kNone; i = lines_[i].next)
    if (lines_[i].kind == LineKind::Key)
      pairs.emplace_back(FromCp1251(View(lines_[i].name)),
                         FromCp1251(ReaderValue(View(lines_[i].value))));
  return pairs;
}

void ProfileFile::WriteString(std::wstring_view section, std::wstring_view key,
                              std::wstring_view value) {
  const NameBytes sectionName(section);
  uint32_t number = FindSection(sectionName.View());
  if (number == kNone) {
    if (!sections_.empty()) {
      const Section& last = sections_.back();
      if ((last.first != kNone || last.hasHeader) && last.last == last.lastKey)
        AppendLine(sections_.back(), Line{});  // a blank line between sections
    }
    number = static_cast<uint32_t>(sections_.size());
    Section& added = NewSection(Store(TrimWide(section)), true);
    if (reservedKeys_ && SameNoCase(reservedSection_, sectionName.View())) {
      added.keys.Reserve(reservedKeys_);
      reservedKeys_ = 0;
    }
  }

  Section& target = sections_[number];
  const NameBytes keyName(key);
  const uint32_t hash = NameHash(keyName.View());
  const size_t position = FindKeySlot(target, keyName.View(), hash);
  const uint32_t found = target.keys.ItemAt(position);
  if (found != kNone) {
    Line& line = lines_[found];
    line.value = Store(TrimWide(value));
    line.kind = LineKind::Key;
    return;
  }
  // A new key follows the last key of its section, before any trailing blank lines.
  const uint32_t added = static_cast<uint32_t>(lines_.size());
  Line line{Store(TrimWide(key)), Store(TrimWide(value)), kNone, LineKind::Key, true};
  if (target.lastKey == kNone) {
    line.next = target.first;
    target.first = added;
  } else {
    line.next = lines_[target.lastKey].next;
    lines_[target.lastKey].next = added;
  }
  if (line.next == kNone)
    target.last = added;
  target.lastKey = added;
  lines_.push_back(line);
  target.keys.Fill(position, hash, added);
}

void ProfileFile::Reserve(std::wstring_view section, size_t keys, size_t bytes) {
  lines_.reserve(lines_.size() + keys);
  store_.reserve(store_.size() + bytes);
  const NameBytes name(section);
  const uint32_t number = FindSection(name.View());
  if (number != kNone) {
    sections_[number].keys.Reserve(sections_[number].keys.Count() + keys);
    return;
  }
  reservedSection_ = name.View();
  reservedKeys_ = keys;
}

template <typename Out>
void ProfileFile::Emit(Out&& out) const {
  for (const Section& section : sections_) {
    if (section.hasHeader) {
      out("[");
      out(View(section.name));
      out("]\r\n");
    }
    for (uint32_t i = section.first; i != kNone; i = lines_[i].next) {
      const Line& line = lines_[i];
      out(View(line.name));
      if (line.kind == LineKind::Key) {
        out("=");
        out(View(line.value));
      }
      out("\r\n");
    }
  }
}

std::string ProfileFile::ToBytes() const {
  size_t length = 0;
  for (const Section& section : sections_) length += section.name.size + 4;
  for (const Line& line : lines_) length += line.name.size + line.value.size + 3;
  std::string bytes;
  bytes.reserve(length);
  Emit([&](std::string_view piece) { bytes += piece; });
  return bytes;
}

void ProfileFile::Save(const std::wstring& path) const {
  RaiseIfFailed(TrySave(path));
}

Status ProfileFile::TrySave(const std::wstring& path) const {
  // Beside the old file and renamed over it: a failed save leaves no half file,
  // and every failure reads "Unable to write to <path>. <reason>".
  Expected<TemporaryFile> file = TemporaryFile::Make(path, L"Unable to write to " + path);
  if (!file)
    return std::move(file).Error();
  // Through one small buffer: a file of many rows is never held twice. The
  // first failed write ends the writing; the rest of the text is not written.
  std::string buffer;
  constexpr size_t kBlock = 64 * 1024;
  buffer.reserve(kBlock);
  Status written;
  auto write = [&](const char* data, size_t size) {
    if (written)
      written = file->File().TryWrite(data, static_cast<uint32_t>(size));
  };
  Emit([&](std::string_view piece) {
    if (buffer.size() + piece.size() > kBlock) {
      write(buffer.data(), buffer.size());
      buffer.clear();
      if (piece.size() > kBlock) {
        write(piece.data(), piece.size());
        return;
      }
    }
    buffer += piece;
  });
  write(buffer.data(), buffer.size());
  if (!written)
    return written;
  return file->TryCommit();
}
