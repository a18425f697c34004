#pragma once
// Removing what an uninstall record lists, by the rules for a record that is
// untrusted input. The uninstaller removes a whole installation through it.

#include <string>
#include <vector>

#include "formats/UninstallRecord.h"

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
};

// Removes the files and links the record at command.ScriptPath lists, then the
// record when nothing it answers for is left, then the folders of the install
// tree that are now empty; `selfPath` is never deleted. What it did goes into
// `result`.
void RemoveRecordedInstallation(const UninstallCommand& command, const std::wstring& selfPath,
                                UninstallResult& result);
