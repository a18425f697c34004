#pragma once
// Folder rules of the Files page: a source folder whose files are taken anew
// at every build, less those an exclusion pattern names. Their rows stand after
// the single rows, marked with the rule they came from.

#include <string>
#include <string_view>
#include <vector>

#include "formats/SetupProject.h"
#include "support/Error.h"

// A rule whose folder is missing or whose patterns leave nothing; the message names the folder.
class FolderRuleError : public KovrinError {
 public:
  using KovrinError::KovrinError;
};

// Whether an exclusion pattern matches `path` (below the rule's folder, "\" between
// parts). "*" stands for any run of characters, "?" for one that is not "\";
// letters match without regard to case. A pattern without "\" is tried on every
// part of the path (a folder's name excludes all below it), one with "\" on the
// path and on each of its leading folders ("tests\*", "docs\old").
bool ExcludePatternMatches(std::wstring_view pattern, std::wstring_view path);

// The rule's files now: within each folder its files, then its sub-folders,
// both by name without regard to case, so the order does not depend on the file
// system. Folder links are not entered. Each row is marked with `ruleIndex`.
// Raises FolderRuleError when the folder is missing or nothing is left.
std::vector<FileEntry> FolderRuleFiles(const FolderRule& rule, int ruleIndex);

// Replaces the rule rows of project.Files with every rule's files now; the
// single rows keep their order and come first. Raises the first rule's
// FolderRuleError, leaving the project as it was; with `problems`, a failing
// rule gives no rows and its message is added there instead.
void ExpandFolderRules(SetupProject& project, std::vector<std::wstring>* problems = nullptr);
