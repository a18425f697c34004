#pragma once
// Rows of the Files page: single files, whole folder trees, and the totals the
// page shows. No windows here; the page supplies a sink that lists the rows.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/SetupProject.h"

// The package stores sizes as signed 32-bit numbers: a file of this size or more
// cannot be described by it and is refused when it is added.
inline constexpr int64_t kPackageFileLimit = int64_t{1} << 31;

// Why a file is left out of the list.
enum class FileRefusal {
  TooLarge,           // 2 GiB or more: the package stores sizes as signed 32-bit numbers
  NameNotInCodePage,  // its relative name has characters Windows-1251 lacks
};

class FileRowSink {
 public:
  virtual ~FileRowSink() = default;
  // Appends one row (and lets the window repaint); false stops the walk.
  virtual bool AddFileRow(FileEntry entry) = 0;
  // A file the package cannot carry; it is left out of the list.
  virtual void RefuseFile(const std::wstring& path, FileRefusal reason) = 0;
};

// The row for one file chosen on its own: its bare name, its folder with a
// trailing "\", and its size (-1 when it cannot be opened). Nothing for a file
// the package cannot carry, and then `refusal` (if given) says why.
std::optional<FileEntry> SingleFileEntry(const std::wstring& path, FileRefusal* refusal = nullptr);

// The warning the Files page shows for the files refused for one reason: the
// reason, then the paths (at most ten, and how many more).
std::wstring RefusedFilesText(FileRefusal reason, const std::vector<std::wstring>& paths);
// The prompt identifier of that warning.
const wchar_t* RefusedFilesPromptId(FileRefusal reason);

// Depth first, in the file system's order: every file below `folder` becomes a
// row whose relative name is its path less `folderRoot` and a "\", and whose
// local folder is `folderRoot` as given. Folder links (reparse points) are not
// entered, so a link back into the tree cannot loop; an unreadable folder
// yields nothing. False when the sink stopped the walk.
bool AddFolderTree(const std::wstring& folder, const std::wstring& folderRoot, FileRowSink& sink);

// The count and the running 64-bit total of a file list, kept as rows come and
// go, so adding a row never re-sums the whole list.
class FileTotals {
 public:
  void Add(int64_t size) {
    ++count_;
    total_ += size;
  }
  void Remove(int64_t size) {
    --count_;
    total_ -= size;
  }
  void Clear() { *this = FileTotals(); }
  int Count() const { return count_; }
  int64_t Total() const { return total_; }

 private:
  int count_ = 0;
  int64_t total_ = 0;
};

// "Всего файлов: N" and "Общий размер: N байт" (the low 32 bits of the total, signed).
std::wstring FileCountText(int count);
std::wstring TotalSizeText(int64_t total);

// The size column: the signed 32-bit decimal text of the package.
std::wstring SizeText(int64_t size);
