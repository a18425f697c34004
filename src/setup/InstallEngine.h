#pragma once
// The install behind "Установить" and /S: copies every file out of data.dat into
// the chosen folder, records Uninst.ini, makes the chosen shortcuts, installs and
// registers the uninstaller. It tells what it does through InstallEvents; the
// window and the silent run present that and never see package files.

#include <string>

#include "setup/InstallEvents.h"
#include "support/Failure.h"

struct SetupState;

// What the end user chose on the pages.
struct InstallChoices {
  std::wstring InstallPathText;   // the install-path box, taken as it stands
  bool DesktopShortcuts = false;  // the three boxes of the shortcuts page
  bool StartMenuShortcuts = false;
  bool StartupShortcuts = false;
  // A target that another program holds open is replaced when Windows restarts
  // (/REBOOTOK) instead of stopping the install.
  bool ReplaceInUseAtRestart = false;
  bool AllowDowngrade = false;  // an older version may replace a newer one (/ALLOWDOWNGRADE)
};

// The user asked to stop (the window's close box, answered "Да"): the install
// takes back what it made and fails as FailureKind::Stopped with this text, and
// with what could not be taken back added to it (state.LeftBehind names that).
inline constexpr wchar_t kInstallStopped[] = L"Установка прервана.";

// Button2Click's work and /S's, in order. Before anything is written the install
// folder and the package are checked: a folder that is not a full path, file
// names that cannot be files there, rows missing below CountOfFiles or sizes that
// do not add up to data.dat (CheckFileRows) stop it at once. The rows are read
// from Setup.ini once the folder is fixed, unless state.ListsRead says they
// already are. Each file's CRC-32 is taken while it is copied and compared with
// the script's FileCrc<n> (a package without those keys is taken as it comes); a
// mismatch removes that file and stops the install naming it. The record lists
// each file with the size and checksum written, and each link exactly as saved.
// A failure or a stop (events.Cancelled(), asked at every pause) takes back what
// this install made (InstallJournal), is told to events.Failed with its exit
// code and is returned: FailureKind::Package for a package that does not check
// out, Stopped for a stop, FileInUse for a target another program holds open
// and the user (or nobody, in a silent run) did not retry, Error with the
// system's wording for a target that cannot be written.
// A file that exists is replaced through a checked copy beside it and kept aside
// until the install is complete, so a take-back renames it back unchanged.
// Showing the error is the caller's.
Status RunInstall(SetupState& state, const InstallChoices& choices, InstallEvents& events);
