#pragma once
// What the uninstaller removes, without its message boxes: the files and links
// that Uninst.ini lists, the folders of the install tree that are left empty,
// Uninst.ini itself and the program's uninstall registry key.

#include <string>

#include "formats/RecordRemoval.h"
#include "formats/UninstallRecord.h"

// Removes what the record lists (keys File<n> and ShortCut<n>, whatever their
// numbering), then the record, then each folder of the install tree that is now
// empty, deepest first (never a recursive delete), then HKLM's uninstall key
// named after the program. The record is untrusted input, so:
// - a file goes only when its normalised path lies inside the record's folder
//   and has no "..", device or stream in it, and, where the record gives its
//   FileSize<n> and FileCrc<n>, only when it still has them (else it is kept as
//   changed since installation);
// - a link goes only when it is a local absolute path ending in ".lnk", lies
//   in a folder the entry's LinkFolders names (without that value, in or below
//   the user's desktop, Start menu or startup folder: PathVariables must be
//   filled), and the file there is a shell link;
// - a file or link another product's record in the same folder lists is kept;
// - the rows that fail these tests are skipped and reported.
// The record and the key stay when something could not be removed, so that a
// second try can finish. `selfPath` is never deleted: several products share
// one uninstaller. Without the record only the key goes. With `removeAtRestart`
// (/REBOOTOK) a file that cannot be deleted now, being in use, is left to
// Windows to delete when it restarts (AtRestart) instead of being kept.
UninstallResult RemoveInstallation(const UninstallCommand& command, const std::wstring& selfPath,
                                   bool removeAtRestart = false);
// Everything the record answers for is gone: nothing failed, changed or skipped.
bool UninstallComplete(const UninstallResult& result);
