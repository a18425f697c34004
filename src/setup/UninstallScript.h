#pragma once
// The record of what an install wrote (Uninst.ini), kept in state.UninstallScript
// and saved to disk often enough that an install which stops midway leaves a
// record of every file it started.

#include <cstdint>
#include <string>

#include "support/Failure.h"

class InstallJournal;
struct SetupState;

// Chooses this product's record in the install folder and loads it into
// state.UninstallScript (an earlier install's keys stay and are rewritten in
// place). A product's record is the Uninst*.ini whose [Files] ProgramName names
// it, or, for a record written before records named their product, the one its
// registered UninstallString names. Without one: Uninst.ini when the folder has
// none, else the first free Uninst<n>.ini, so that products sharing a folder
// never share a record. Notes in `journal` how to put the record back as it was.
// A record that was there is also kept, as it was, in state.PreviousRecord.
Status OpenUninstallScript(SetupState& state, InstallJournal& journal);

// Empties the rows an earlier install left in the record that this one does not
// write again: files beyond this package's CountOfFiles (with their sizes and
// checksums) and every link, which MakeShortcuts then writes for the links it
// makes. Called once the files are copied, so the record lists exactly this
// install. state.PreviousRecord keeps the rows as they were.
void ForgetEarlierRows(SetupState& state);

// Writes the script through a temporary file that replaces the old one, so a
// failure never leaves a half-written record. Fails as "Unable to write to <path>. <reason>".
Status SaveUninstallScript(const SetupState& state);

// Saves at most every `interval` milliseconds, so recording 20,000 files costs a
// few saves rather than one per file; Save(true) writes now.
class UninstallScriptCheckpoints {
 public:
  explicit UninstallScriptCheckpoints(const SetupState& state, uint32_t intervalMs = 1000)
      : state_(state), intervalMs_(intervalMs) {}
  Status Save(bool now = false);
  void MarkDirty() noexcept { dirty_ = true; }

 private:
  const SetupState& state_;
  uint32_t intervalMs_;
  uint64_t lastSave_ = 0;
  bool dirty_ = false;
};
