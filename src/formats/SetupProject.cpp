#include "formats/SetupProject.h"

std::wstring FileEntry::SourcePath() const {
  if (LocalFolder.empty() || LocalFolder.back() == L'\\')
    return LocalFolder + RelativeName;
  return LocalFolder + L'\\' + RelativeName;
}

int64_t SetupProject::TotalFileSize() const {
  int64_t total = 0;
  for (const FileEntry& file : Files) total += file.Size;
  return total;
}
