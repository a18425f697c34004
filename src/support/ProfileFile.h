#pragma once
// Profile (INI) files read once and written once, with the platform's rules:
// section and key names match without regard to case, values are trimmed and
// lose one pair of matching quotes, a value is cut at 2,047 characters, a
// rewritten key keeps its place, a new key goes to the end of its section and a
// new section to the end of the file, lines end with CR LF. Stored as Windows-1251.

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Section and key names compare without regard to case; lookups take views, so
// finding a key allocates nothing.
struct NoCaseHash {
  using is_transparent = void;
  size_t operator()(std::wstring_view text) const noexcept;
};
struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::wstring_view a, std::wstring_view b) const noexcept;
};

class ProfileFile {
 public:
  static constexpr size_t kMaxValueLength = 2047;

  ProfileFile() = default;
  // Loads the file; a missing file gives an empty profile. Other failures raise
  // `Cannot open file "…"`.
  static ProfileFile Load(const std::wstring& path);
  // Parses text that is already UTF-16 (tests, in-memory use).
  static ProfileFile FromText(std::wstring_view text);

  // The value as a reader sees it, or `defaultValue` when the section or key is
  // missing (or the key has no "=").
  std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view defaultValue) const;
  bool HasKey(std::wstring_view section, std::wstring_view key) const;
  bool HasSection(std::wstring_view section) const;
  // Key/value pairs of the first section of that name, in file order, values as read.
  std::vector<std::pair<std::wstring, std::wstring>> ReadSection(std::wstring_view section) const;

  void WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value);

  std::wstring ToText() const;
  // Writes the whole profile in Windows-1251; failure raises "Unable to write to <path>".
  void Save(const std::wstring& path) const;

 private:
  // A key line is stored as name and value and written back as "name=value";
  // any other line (blank, comment without "=") keeps its text in `name`.
  struct Line {
    std::wstring name;
    std::wstring value;  // raw value after "=", trimmed
    bool isKey = false;
    bool hasValue = false;  // a key line without "=" reads as missing
  };
  struct Section {
    std::wstring name;                  // between the brackets, trimmed
    bool hasHeader = true;              // false for the lines before the first section
    std::vector<Line> lines;            // up to and including the last key
    std::vector<std::wstring> trailer;  // blank or odd lines after the last key
    std::unordered_map<std::wstring, size_t, NoCaseHash, NoCaseEqual> keys;  // first key line
  };

  void ParseLine(std::wstring_view line);
  void AddKey(Section& section, Line line);
  const Line* FindKey(std::wstring_view section, std::wstring_view key) const;
  Section& NewSection(std::wstring name, bool hasHeader);

  std::vector<Section> sections_;
  std::unordered_map<std::wstring, size_t, NoCaseHash, NoCaseEqual> sectionIndex_;  // first section
};
