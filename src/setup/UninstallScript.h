#pragma once
// Uninst.ini, the record of what an install wrote, kept in state.UninstallScript
// and saved to disk often enough that an install which stops midway leaves a
// record of every file it started.

#include <cstdint>
#include <string>

struct SetupState;

// Loads <install folder>\Uninst.ini into state.UninstallScript (an earlier
// install's keys stay and are rewritten in place) and remembers its path.
void OpenUninstallScript(SetupState& state);

// Writes the script through a temporary file that replaces the old one, so a
// failure never leaves a half-written record. Raises "Unable to write to <path>".
void SaveUninstallScript(const SetupState& state);

// Saves at most every `interval` milliseconds, so recording 20,000 files costs a
// few saves rather than one per file; Save(true) writes now.
class UninstallScriptCheckpoints {
 public:
  explicit UninstallScriptCheckpoints(const SetupState& state, uint32_t intervalMs = 1000)
      : state_(state), intervalMs_(intervalMs) {}
  void Save(bool now = false);
  void MarkDirty() noexcept { dirty_ = true; }

 private:
  const SetupState& state_;
  uint32_t intervalMs_;
  uint64_t lastSave_ = 0;
  bool dirty_ = false;
};
