#pragma once
// Opening a project file for the designer: the project file does not keep file
// sizes, so each row is measured again with the Files page's rules, and rows
// whose source file is gone are reported by name (the project still opens).

#include <cstddef>
#include <string>
#include <vector>

#include "formats/SetupProject.h"

struct MissingSourceFile {
  size_t Row = 0;           // index into Files after the refused rows are left out
  std::wstring SourcePath;  // the file that is not there
};

struct SizeRefresh {
  // Rows whose source file is missing (or is a folder): kept, with the size -1 that the
  // Files page gives such a file, for the page to mark.
  std::vector<MissingSourceFile> Missing;
  // Files of 2 GiB or more: left out of the list, as "Добавить файлы" leaves them out.
  std::vector<std::wstring> Refused;
  // Folder rules that gave no rows: the folder is missing or nothing is left.
  std::vector<std::wstring> RuleProblems;
};

// Sets each row's Size to its source file's size now, as the file system records
// it: no file is opened.
SizeRefresh RefreshFileSizes(std::vector<FileEntry>& files);

struct OpenedProject {
  SetupProject Project;
  SizeRefresh Sizes;
};

// Loads the file (KovrinError naming the line when it is not a whole project),
// lists the files of its folder rules and measures its rows.
OpenedProject OpenProjectFile(const std::wstring& path);

// The report for the author: the missing and the refused files by name, at
// most `listed` of each; empty when there is nothing to report.
std::wstring SizeRefreshReport(const SizeRefresh& sizes, size_t listed = 20);
