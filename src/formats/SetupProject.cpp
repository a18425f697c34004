#include "formats/SetupProject.h"

std::wstring FileEntry::SourcePath() const {
  const std::wstring& name = FromRule() ? RuleName : RelativeName;
  if (LocalFolder.empty() || LocalFolder.back() == L'\\')
    return LocalFolder + name;
  return LocalFolder + L'\\' + name;
}

int64_t SetupProject::TotalFileSize() const {
  int64_t total = 0;
  for (const FileEntry& file : Files) total += file.Size;
  return total;
}
