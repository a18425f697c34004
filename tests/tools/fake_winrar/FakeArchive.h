#pragma once
// The stand-in archiver's archive: a line "FAKESFX", then records, each a line
// "<tag> <length>[ <name>]" followed by exactly <length> bytes. Tags: "args"
// (the command line after the program name, UTF-8), "icon" (the icon file),
// "comment" (the comment file), "file" (one archived file under its bare name).

#include <string>
#include <vector>

namespace fake_archive {
inline constexpr char kMagic[] = "FAKESFX\r\n";

struct Record {
  std::string Tag;
  std::string Name;  // "file" records: the bare name in Windows-1251
  std::string Bytes;
};

inline std::string RecordHeader(const std::string& tag, unsigned long long length,
                                const std::string& name = {}) {
  return tag + " " + std::to_string(length) + (name.empty() ? "" : " " + name) + "\r\n";
}

// Parses a whole archive held in memory (tests only); empty on a bad archive.
inline std::vector<Record> Parse(const std::string& archive) {
  std::vector<Record> records;
  const std::string magic = kMagic;
  if (archive.compare(0, magic.size(), magic) != 0)
    return {};
  size_t at = magic.size();
  while (at < archive.size()) {
    const size_t end = archive.find("\r\n", at);
    if (end == std::string::npos)
      return {};
    const std::string header = archive.substr(at, end - at);
    const size_t blank = header.find(' ');
    if (blank == std::string::npos)
      return {};
    Record record;
    record.Tag = header.substr(0, blank);
    size_t lengthEnd = header.find(' ', blank + 1);
    const unsigned long long length = std::stoull(header.substr(blank + 1, lengthEnd - blank - 1));
    if (lengthEnd != std::string::npos)
      record.Name = header.substr(lengthEnd + 1);
    at = end + 2;
    if (archive.size() - at < length)
      return {};
    record.Bytes = archive.substr(at, length);
    at += length;
    records.push_back(std::move(record));
  }
  return records;
}
}  // namespace fake_archive
