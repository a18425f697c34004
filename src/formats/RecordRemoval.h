#pragma once
// Removing what an uninstall record lists, by the rules for a record that is
// untrusted input. The uninstaller removes a whole installation through it.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "formats/UninstallRecord.h"
#include "support/ProfileFile.h"

struct UninstallResult {
  bool ScriptFound = false;
  int FilesRemoved = 0;
  int LinksRemoved = 0;
  std::vector<std::wstring> Missing;      // listed, but gone already
  std::vector<std::wstring> Changed;      // kept: size or checksum differs from the record
  std::vector<std::wstring> Shared;       // kept: another product's record lists it too
  std::vector<std::wstring> Skipped;      // rows that name nothing this install may remove
  std::vector<std::wstring> NotRemoved;   // files, links and keys that could not be removed
  std::vector<std::wstring> FoldersKept;  // install folders that still hold other files
  std::vector<std::wstring> AtRestart;    // in use: Windows removes them when it restarts
};

// The folders a record's links may be removed from. A link elsewhere is kept
// and reported as skipped, however the record names it.
struct LinkFolderRule {
  std::vector<std::wstring> Folders;  // a link directly in one of these
  std::vector<std::wstring> Trees;    // a link in one of these or any folder below
  bool Allows(const std::wstring& link) const;
};

// The rule for an install whose uninstall entry holds `registered` (its
// LinkFolders value): exactly those folders. An entry written without the value
// made its links where the current user's desktop, Start menu and startup
// folders lead (PathVariables, filled before), or below them.
LinkFolderRule LinkFoldersOf(const std::optional<std::wstring>& registered);

// The LinkFolders value of the machine's entry for `programName`; nothing when
// there is no such entry or value, or the name cannot name its entry.
std::optional<std::wstring> RegisteredLinkFolders(const std::wstring& programName);

// A removal of less than a whole installation: what a newer version leaves of
// an older one.
struct RecordRemovalScope {
  // The record's rows when the file now holds another record (a newer version
  // has rewritten it in place); null reads them from the file.
  const ProfileFile* Rows = nullptr;
  // Paths (FoldedPath of LongFullPath) that stay whatever the record says: the
  // files and links a newer version has written there. Not reported.
  const std::unordered_set<std::wstring>* Keep = nullptr;
  // Whether the record file goes once nothing it answers for is left.
  bool RemoveRecord = true;
  // A file that cannot be deleted now, being in use, is left to Windows to
  // delete when it restarts (AtRestart) instead of being kept (/REBOOTOK).
  bool RemoveAtRestart = false;
  // Where the record's links may be; by default nowhere, so every link stays.
  LinkFolderRule Links;
};

// Removes the files and links the record at command.ScriptPath lists, then the
// record when nothing it answers for is left, then the folders of the install
// tree that are now empty; `selfPath` is never deleted. What it did goes into
// `result`. Fails, before anything is removed, when the record cannot be read.
Status RemoveRecordedInstallation(const UninstallCommand& command, const std::wstring& selfPath,
                                  UninstallResult& result, const RecordRemovalScope& scope = {});

// The digits of a numbered row's key: "12" for "File12" with prefix "File";
// nothing for "FileCount", or for "FileSize12" with prefix "File".
std::optional<std::wstring> RowNumber(const std::wstring& key, std::wstring_view prefix);

// The record's ShortCut<n> values, as written.
std::vector<std::wstring> RecordedLinks(const ProfileFile& record);

// Every path the record's File<n> and ShortCut<n> rows name, as FoldedPath of
// LongFullPath.
std::unordered_set<std::wstring> RecordedPaths(const ProfileFile& record);
