#pragma once
// The sizes of many files as the file system records them, without opening any:
// a folder asked for more than once is listed once, and its files' sizes are
// taken from the listing instead of one query per file (which costs the most
// under Wine). A name that the listing does not give as it stands (a short
// name, a path through a link, a missing file) is asked for on its own.

#include <cstdint>
#include <string>
#include <unordered_map>

class RecordedSizes {
 public:
  // The size of the file at `path`, or -1 for a missing file or a folder.
  int64_t Of(const std::wstring& path);

 private:
  struct Folder {
    int asked = 0;
    bool listed = false;
    std::unordered_map<std::wstring, int64_t> sizes;  // by upper-cased name; -1 for a folder
  };
  void List(const std::wstring& folder, Folder& into);

  std::unordered_map<std::wstring, Folder> folders_;  // by upper-cased folder path
};
