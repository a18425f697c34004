#include "designer/FolderRules.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "support/FileSystem.h"
#include "support/Handle.h"

namespace {
wchar_t Folded(wchar_t c) {
  return static_cast<wchar_t>(reinterpret_cast<uintptr_t>(CharUpperW(
      reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(static_cast<unsigned short>(c))))));
}

// Glob matching with backtracking to the last "*": linear in practice, no recursion.
bool GlobMatches(std::wstring_view pattern, std::wstring_view text) {
  size_t p = 0;
  size_t t = 0;
  size_t starAt = std::wstring_view::npos;
  size_t resumeAt = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == L'*') {
      starAt = p++;
      resumeAt = t;
    } else if (p < pattern.size() && ((pattern[p] == L'?' && text[t] != L'\\') ||
                                      Folded(pattern[p]) == Folded(text[t]))) {
      ++p;
      ++t;
    } else if (starAt != std::wstring_view::npos) {
      p = starAt + 1;
      t = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

// Empty, or parts below the installation folder: no drive, no root, no "." or "..".
bool IsPlainSubFolder(std::wstring_view folder) {
  if (folder.find_first_of(L":/") != std::wstring_view::npos)
    return false;
  size_t start = 0;
  while (start <= folder.size() && !folder.empty()) {
    const size_t end = std::min(folder.find(L'\\', start), folder.size());
    const std::wstring_view part = folder.substr(start, end - start);
    const bool last = end == folder.size();
    if ((part.empty() && !last) || part == L"." || part == L"..")
      return false;
    start = end + 1;
  }
  return true;
}

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

bool NameBefore(const std::wstring& a, const std::wstring& b) {
  const int order = CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                         static_cast<int>(b.size()), TRUE);
  return order == CSTR_LESS_THAN || (order == CSTR_EQUAL && a < b);
}

class RuleWalk {
 public:
  RuleWalk(const FolderRule& rule, int index) : rule_(rule), index_(index) {}

  void Walk(const std::wstring& below) {
    const std::wstring folder =
        below.empty() ? rule_.SourceFolder : WithTrailingBackslash(rule_.SourceFolder) + below;
    // The listing's own sizes: the files are opened once, when the payload is written.
    std::vector<std::pair<std::wstring, int64_t>> files;
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileExW((WithTrailingBackslash(folder) + L"*").c_str(),
                                       FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH));
    if (!search)
      return;
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!IsDotEntry(found.cFileName) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
          folders.emplace_back(found.cFileName);
      } else {
        files.emplace_back(found.cFileName,
                           static_cast<int64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow);
      }
    } while (FindNextFileW(search.Get(), &found));
    search.Reset();

    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return NameBefore(a.first, b.first); });
    std::sort(folders.begin(), folders.end(), NameBefore);
    for (const auto& [name, size] : files) {
      const std::wstring path = below.empty() ? name : below + L"\\" + name;
      if (Excluded(path))
        continue;
      FileEntry entry;
      entry.RuleName = path;
      entry.RelativeName =
          rule_.Destination.empty() ? path : WithTrailingBackslash(rule_.Destination) + path;
      entry.LocalFolder = rule_.SourceFolder;
      entry.Rule = index_;
      entry.Size = size;
      rows_.push_back(std::move(entry));
    }
    for (const std::wstring& name : folders) {
      const std::wstring path = below.empty() ? name : below + L"\\" + name;
      if (!Excluded(path))
        Walk(path);
    }
  }

  std::vector<FileEntry>& Rows() { return rows_; }

 private:
  bool Excluded(const std::wstring& path) const {
    for (const std::wstring& pattern : rule_.Excludes)
      if (ExcludePatternMatches(pattern, path))
        return true;
    return false;
  }

  const FolderRule& rule_;
  int index_;
  std::vector<FileEntry> rows_;
};
}  // namespace

bool ExcludePatternMatches(std::wstring_view pattern, std::wstring_view path) {
  const bool wholePath = pattern.find(L'\\') != std::wstring_view::npos;
  size_t start = 0;
  for (;;) {
    const size_t end = path.find(L'\\', start);
    const std::wstring_view part =
        wholePath ? path.substr(0, end) : path.substr(start, end == path.npos ? end : end - start);
    if (GlobMatches(pattern, part))
      return true;
    if (end == std::wstring_view::npos)
      return false;
    start = end + 1;
  }
}

std::vector<FileEntry> FolderRuleFiles(const FolderRule& rule, int ruleIndex) {
  if (!IsPlainSubFolder(rule.Destination))
    throw FolderRuleError(L"Папка назначения правила " + rule.SourceFolder + L" \"" +
                          rule.Destination +
                          L"\" должна лежать внутри папки установки: без диска, без \"..\" и "
                          L"без \"\\\" в начале.");
  if (!FolderExists(rule.SourceFolder))
    throw FolderRuleError(L"Не найдена папка правила: " + rule.SourceFolder);
  RuleWalk walk(rule, ruleIndex);
  walk.Walk(L"");
  if (walk.Rows().empty())
    throw FolderRuleError(L"Правило папки " + rule.SourceFolder +
                          L" не выбрало ни одного файла: папка пуста или все её файлы исключены.");
  return std::move(walk.Rows());
}

void ExpandFolderRules(SetupProject& project, std::vector<std::wstring>* problems) {
  std::vector<FileEntry> files;  // the project keeps its rows until every rule has been read
  for (const FileEntry& file : project.Files)
    if (!file.FromRule())
      files.push_back(file);
  for (size_t i = 0; i < project.FolderRules.size(); ++i) {
    std::vector<FileEntry> rows;
    try {
      rows = FolderRuleFiles(project.FolderRules[i], static_cast<int>(i));
    } catch (const FolderRuleError& error) {
      if (!problems)
        throw;
      problems->push_back(error.Message());
    }
    files.insert(files.end(), std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
  }
  project.Files = std::move(files);
}
