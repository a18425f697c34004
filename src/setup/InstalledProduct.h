#pragma once
// The installed product a package would upgrade: the uninstall entry of the
// program's name, with the record it names and the folder it was installed to.

#include <optional>
#include <string>

struct InstalledProduct {
  std::wstring RecordPath;                  // the record its UninstallString names; the file exists
  std::wstring InstallLocation;             // the folder the entry names
  std::wstring Version;                     // DisplayVersion; "" when the entry has none
  std::wstring ProductCode;                 // "" when the entry was written without one
  std::optional<std::wstring> LinkFolders;  // where its links may be; none in older entries
};

// The entry of `programName` when it describes an install that is still there:
// a readable UninstallString whose record exists, and an InstallLocation.
// Anything less (no key, a key left without its record) is no installed product.
std::optional<InstalledProduct> FindInstalledProduct(const std::wstring& programName);
