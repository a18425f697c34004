#pragma once
// The setup program's state: the script's values as the reader gives them, the
// package folder, the lists read when the install begins and what the install
// has made of them. Lists are 1-based like the script's keys.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/SetupScriptReader.h"
#include "setup/InstalledProduct.h"
#include "setup/ShortCuts.h"
#include "support/ProfileFile.h"

// The inherited values are Setup.ini's single values, read once at start-up;
// CountOfShortCuts becomes the number of shortcut rows found when the lists are read.
struct SetupState : SetupScriptValues {
  std::wstring PackageFolder;  // with its trailing "\"
  // Where the uninstaller goes; empty for the machine's Windows folder.
  std::wstring WindowsFolder;
  // InstallPath (inherited) is the script's until the install starts, then the chosen folder.
  std::wstring TempFolder;  // holds readme.dat and license.dat; empty when no text is used
  // Why the package may not be installed (Setup.dat did not check out); empty if it may.
  std::wstring PackageDamage;
  bool Installed = false;
  int32_t CurrentPage = 0;
  ProfileFile UninstallScript;       // the record (Uninst.ini) while the install runs
  std::wstring UninstallScriptPath;  // its full path: Uninst.ini, or Uninst<n>.ini
  // The install folder as the record holds it: InstallPath, or its short (8.3)
  // form when Windows-1251 cannot hold InstallPath.
  std::wstring RecordedInstallPath;
  // The lists below are read (LoadInstallLists) for the install folder fixed in InstallPath.
  bool ListsRead = false;
  std::vector<TShortCut> ShortcutList;  // positions 1..CountOfShortCuts; 0 unused
  std::vector<ScriptFileRow> FileList;  // positions 1..CountOfFiles; 0 unused
  // What a failed or stopped install could not take back; empty when it took back all.
  std::vector<std::wstring> LeftBehind;
  // The install is complete once Windows restarts: files in use wait to be replaced.
  bool RestartToFinish = false;
  // The product this install upgrades (found before anything is written), and
  // the record this install rewrites as it was before, when there was one.
  std::optional<InstalledProduct> Previous;
  std::optional<ProfileFile> PreviousRecord;
  // Files of the earlier version that stayed: changed since their install, or
  // not removable. Shown to whoever asks after the install.
  std::vector<std::wstring> KeptFromPrevious;
};
