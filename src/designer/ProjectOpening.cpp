#include "designer/ProjectOpening.h"

#include "designer/FileList.h"
#include "designer/FolderRules.h"
#include "designer/RecordedSizes.h"
#include "formats/ProjectFile.h"
#include "support/FileSystem.h"

SizeRefresh RefreshFileSizes(std::vector<FileEntry>& files) {
  SizeRefresh result;
  std::vector<FileEntry> kept;
  kept.reserve(files.size());
  // Not opened: the build opens each source once, to copy it, and a file that
  // cannot be read fails there with its own message.
  RecordedSizes recorded;
  for (FileEntry& file : files) {
    std::wstring source = file.SourcePath();
    const int64_t size = recorded.Of(source);
    if (size >= kPackageFileLimit) {
      result.Refused.push_back(std::move(source));
      continue;
    }
    file.Size = size;  // -1 when it is missing, as the Files page shows it
    if (size < 0)
      result.Missing.push_back(MissingSourceFile{kept.size(), std::move(source)});
    kept.push_back(std::move(file));
  }
  files = std::move(kept);
  return result;
}

OpenedProject OpenProjectFile(const std::wstring& path) {
  OpenedProject opened{LoadProjectFile(path), {}};
  std::vector<std::wstring> ruleProblems;
  ExpandFolderRules(opened.Project, &ruleProblems);
  opened.Sizes = RefreshFileSizes(opened.Project.Files);
  opened.Sizes.RuleProblems = std::move(ruleProblems);
  return opened;
}

namespace {
void ListPaths(std::wstring& text, const std::vector<std::wstring>& paths, size_t listed) {
  for (size_t i = 0; i < paths.size() && i < listed; ++i) text += L"\n" + paths[i];
  if (paths.size() > listed)
    text += L"\n… и ещё " + std::to_wstring(paths.size() - listed);
}
}  // namespace

std::wstring SizeRefreshReport(const SizeRefresh& sizes, size_t listed) {
  std::wstring text;
  if (!sizes.Missing.empty()) {
    std::vector<std::wstring> paths;
    for (const MissingSourceFile& missing : sizes.Missing) paths.push_back(missing.SourcePath);
    text +=
        L"Не найдены или не открываются файлы проекта (" + std::to_wstring(paths.size()) + L"):";
    ListPaths(text, paths, listed);
  }
  if (!sizes.Refused.empty()) {
    if (!text.empty())
      text += L"\n\n";
    text += L"Файлы размером 2 ГБ и больше не помещаются в пакет и убраны из списка (" +
            std::to_wstring(sizes.Refused.size()) + L"):";
    ListPaths(text, sizes.Refused, listed);
  }
  for (const std::wstring& problem : sizes.RuleProblems) {
    if (!text.empty())
      text += L"\n\n";
    text += problem;
  }
  return text;
}
