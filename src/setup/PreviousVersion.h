#pragma once
// What an upgrade removes of the version it replaced, once it has succeeded.

struct SetupState;
class InstallEvents;

// Removes, by the uninstaller's rules, what the earlier version's record lists
// and this install did not write again: a file only inside that record's
// folder and while it still has its recorded size and checksum, a link only as
// a shell link file, nothing another product's record lists, then the folders
// of its tree that are left empty. The record this install rewrote in place is
// read as it was (state.PreviousRecord); the record of an install in another
// folder (state.Previous) goes with its folder once nothing it answers for is
// left there. Files that stay are told to `events` and kept in
// state.KeptFromPrevious. Never raises: the install has already succeeded.
void RemovePreviousVersion(SetupState& state, InstallEvents& events);
