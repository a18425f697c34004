#pragma once
// Profile (INI) files read once and written once, with the platform's rules:
// section and key names match without regard to case, values are trimmed and
// lose one pair of matching quotes, a value is cut at 2,047 characters, a
// rewritten key keeps its place, a new key goes to the end of its section and a
// new section to the end of the file, lines end with CR LF. Stored as Windows-1251.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/Failure.h"

class ProfileFile {
 public:
  static constexpr size_t kMaxValueLength = 2047;

  ProfileFile() = default;
  // Loads the file; a missing file gives an empty profile. Other failures raise
  // `Cannot open file "…"`.
  static ProfileFile Load(const std::wstring& path);
  // The same without raising: nullopt, with the message Load would raise in `problem`.
  static std::optional<ProfileFile> Load(const std::wstring& path, std::wstring& problem);

  // The value as a reader sees it, or `defaultValue` when the section or key is
  // missing (or the key has no "=").
  std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view defaultValue) const;
  bool HasKey(std::wstring_view section, std::wstring_view key) const;
  // Number of keys with a value in the first section of that name.
  size_t KeyCount(std::wstring_view section) const;
  // Key/value pairs of the first section of that name, in file order, values as read.
  std::vector<std::pair<std::wstring, std::wstring>> ReadSection(std::wstring_view section) const;

  // Names and the value are stored as the file will hold them (Windows-1251), so
  // a character the code page lacks reads back as the file would give it.
  void WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  // Room for `keys` more keys of `section` holding `bytes` more bytes of names
  // and values: a writer that knows how much it is about to write spares the
  // copies of growing. A missing section is still made by the first write to it.
  void Reserve(std::wstring_view section, size_t keys, size_t bytes);

  // The file's bytes.
  std::string ToBytes() const;
  // Writes the whole profile; failure raises "Unable to write to <path>".
  void Save(const std::wstring& path) const;
  Status TrySave(const std::wstring& path) const;

 private:
  // The profile keeps the file's own bytes in `store_` (the loaded file first,
  // then whatever later writes add) and refers to names, values and kept lines
  // by offset. A file of many keys therefore loads and saves without converting
  // the whole text and without an allocation per line: under Wine every fresh
  // page of memory costs more than the parsing of its contents.
  struct Span {
    uint32_t at = 0;
    uint32_t size = 0;
  };
  enum class LineKind : uint8_t {
    Text,     // blank or odd line, written back as it stood
    KeyOnly,  // a name without "=": reads as missing
    Key,      // name=value
  };
  static constexpr uint32_t kNone = UINT32_MAX;
  struct Line {
    Span name;              // the key's name, trimmed; for Text the whole raw line
    Span value;             // after "=", trimmed
    uint32_t next = kNone;  // the next line of the same section
    LineKind kind = LineKind::Text;
    bool first = false;  // the first key of its name in its section: the one that is read
  };
  // Open addressing over folded names, the first of each name kept: sections
  // by name, and in each section its keys. A slot whose `item` is kNone is free.
  struct Slot {
    uint32_t hash = 0;
    uint32_t item = kNone;
  };
  class Index {
   public:
    static constexpr size_t kMissing = SIZE_MAX;
    // Position of the slot for `hash` whose item `sameName` accepts, or of the
    // free slot where it belongs (kMissing while the table is empty).
    template <typename SameName>
    size_t Find(uint32_t hash, SameName sameName) const;
    // The item found, or kNone.
    uint32_t ItemAt(size_t position) const {
      return position == kMissing ? kNone : slots_[position].item;
    }
    // Fills the free slot that Find returned; may grow the table.
    void Fill(size_t position, uint32_t hash, uint32_t item);
    // Room for `items` in all, so that filling them never grows the table.
    void Reserve(size_t items);
    size_t Count() const { return used_; }

   private:
    size_t FreeSlot(uint32_t hash) const;
    void Rebuild(size_t slots);
    std::vector<Slot> slots_;  // a power of two long, at most half used
    size_t used_ = 0;
  };
  struct Section {
    Span name;              // between the brackets, trimmed
    bool hasHeader = true;  // false for the lines before the first section
    uint32_t first = kNone, last = kNone;
    uint32_t lastKey = kNone;  // new keys follow it; blank lines after it trail
    uint32_t keyLines = 0;     // while loading: the key lines to index
    Index keys;                // item: line number
  };

  static ProfileFile FromBytes(std::string bytes);
  // Hands the file's bytes to `out(std::string_view)` piece by piece, in order.
  template <typename Out>
  void Emit(Out&& out) const;
  std::string_view View(Span span) const { return {store_.data() + span.at, span.size}; }
  Span Store(std::wstring_view text);
  void ParseLine(Span raw);
  // Indexes the key lines of every section, each index sized once.
  void IndexLoadedKeys();
  void AppendLine(Section& section, const Line& line);
  Section& NewSection(Span name, bool hasHeader);
  uint32_t FindSection(std::string_view name) const;
  // The slot of the key's line in its section, or the free slot where it belongs.
  size_t FindKeySlot(const Section& section, std::string_view name, uint32_t hash) const;
  const Line* FindKey(std::wstring_view section, std::wstring_view key) const;

  std::string store_;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
  Index sectionIndex_;  // item: section number
  // Readers mostly ask for keys in file order (FileName1, FileSize1, FileName2 …):
  // the key lines right after the last one found are tried before the index.
  // (So even reading changes the object: one thread at a time, as everywhere in the kit.)
  mutable uint32_t lastSection_ = kNone;
  mutable uint32_t lastLine_ = kNone;
  // A reservation for a section that the next writes will make.
  std::string reservedSection_;
  size_t reservedKeys_ = 0;
};
