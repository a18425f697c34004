#pragma once
// The uninstall entry's values beyond DisplayName, DisplayIcon and
// UninstallString, which the system's list of installed programs and deployment
// tools read: DisplayVersion, ProductCode, Publisher, InstallLocation,
// InstallDate, EstimatedSize, QuietUninstallString, LinkFolders, NoModify and
// NoRepair.

#include <cstdint>
#include <string>

#include "support/Failure.h"

class InstallEvents;
struct SetupState;

// Bytes of the files the install wrote: the sizes of the script's file rows.
int64_t InstalledBytes(const SetupState& state);

// Writes the values into the entry that RegisterUninstaller has just written
// (QuietUninstallString is its UninstallString with /S), then tells `events`
// about the uninstaller and the entry. DisplayVersion is written only
// when the script names a version (an older one left by an earlier install is
// removed), ProductCode likewise. Fails as "Failed to create key <key>" or
// "Failed to set data for '<value>'".
Status CompleteUninstallEntry(const SetupState& state, InstallEvents& events);
