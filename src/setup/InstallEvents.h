#pragma once
// What an install tells whoever follows it, as it happens: the setup window turns
// the events into pages, bars and clips, the silent run and the install log into
// log lines, tests into a record. The engine never knows which one it serves.
// Pump and Cancelled are the ProgressSink's: the engine lets pending messages run
// at its pauses (at most every 10 ms inside the copy loops, at the step
// boundaries always) and stops when Cancelled() is true.

#include <cstdint>
#include <string>
#include <vector>

#include "support/Progress.h"

// The steps of an install, in the order they begin.
enum class InstallStage {
  Preparing,       // nothing written: earlier damage, data.dat and the folder are looked at
  ReadingPackage,  // the install folder is accepted; the rows are read and checked
  Copying,         // files out of data.dat, one FileStarted each
  Shortcuts,       // the links of the chosen kinds
};

// Which boxes the finish page shows.
struct FinishPageBoxes {
  bool GoSite = false;  // "Зайти на зайт программы"
  bool Run = false;     // "Запустить установленную программу"
  bool Reboot = false;  // "Перезагрузить компьютер" (only when the restart is not asked)
  // Files in use are replaced when Windows restarts: the page says so and the
  // restart box is shown ticked.
  bool RestartToFinish = false;
};

// What to do about a target that another program holds open.
enum class InUseAnswer { Retry, Cancel };

// A share of ProgressChanged with nothing to measure: a file of no bytes, or a
// data.dat of no bytes. Whoever shows a bar leaves it where it is.
inline constexpr int kNoShare = -1;

class InstallEvents : public ProgressSink {
 public:
  virtual void StageChanged(InstallStage /*stage*/) {}
  // Row `row` (from 1) of the file list, named as the script names it, is about
  // to be copied.
  virtual void FileStarted(int32_t /*row*/, const std::wstring& /*name*/) {}
  // Permille (0..1000) of the current file and of the whole data.dat, or kNoShare.
  virtual void ProgressChanged(int /*filePermille*/, int /*overallPermille*/) {}
  virtual void FileWritten(const std::wstring& /*path*/, int64_t /*bytes*/) {}
  // `made` false: the shell could not save the link (the install goes on).
  virtual void LinkMade(const std::wstring& /*path*/, bool /*made*/) {}
  // `path` is held open by another program (`holders` names them where Windows
  // can tell). Nobody to ask, as in a silent run, means Cancel: the install stops.
  virtual InUseAnswer FileInUse(const std::wstring& /*path*/,
                                const std::vector<std::wstring>& /*holders*/) {
    return InUseAnswer::Cancel;
  }
  // `target` is replaced by `staged` when Windows restarts.
  virtual void ReplacedAtRestart(const std::wstring& /*target*/, const std::wstring& /*staged*/) {}
  virtual void UninstallerPlaced(const std::wstring& /*path*/) {}
  // A file of the version this install replaced stays where it was: changed
  // since that install (`changed`), or it could not be removed.
  virtual void EarlierFileKept(const std::wstring& /*path*/, bool /*changed*/) {}
  // The uninstall entry under HKEY_LOCAL_MACHINE, with all its values written.
  virtual void EntryRegistered(const std::wstring& /*keyPath*/) {}
  // Everything is written; the finish page shows these boxes.
  virtual void Finished(const FinishPageBoxes& /*boxes*/) {}
  // The install stopped and has taken back what it could; the exception with
  // this message still goes on to the caller. `exitCode` is a SetupExitCode.
  virtual void Failed(const std::wstring& /*message*/, int /*exitCode*/) {}
};

// Tells `shown` everything and `logged` (when there is one) every event: the
// window that shows an install and the install log of /LOG=. Pausing and
// stopping are the shown one's.
class ShownAndLoggedEvents final : public InstallEvents {
 public:
  ShownAndLoggedEvents(InstallEvents& shown, InstallEvents* logged)
      : shown_(shown), logged_(logged) {}

  void Pump() override { shown_.Pump(); }
  bool Cancelled() override { return shown_.Cancelled(); }
  void StageChanged(InstallStage stage) override {
    Both([&](InstallEvents& e) { e.StageChanged(stage); });
  }
  void FileStarted(int32_t row, const std::wstring& name) override {
    Both([&](InstallEvents& e) { e.FileStarted(row, name); });
  }
  void ProgressChanged(int filePermille, int overallPermille) override {
    Both([&](InstallEvents& e) { e.ProgressChanged(filePermille, overallPermille); });
  }
  void FileWritten(const std::wstring& path, int64_t bytes) override {
    Both([&](InstallEvents& e) { e.FileWritten(path, bytes); });
  }
  void LinkMade(const std::wstring& path, bool made) override {
    Both([&](InstallEvents& e) { e.LinkMade(path, made); });
  }
  InUseAnswer FileInUse(const std::wstring& path,
                        const std::vector<std::wstring>& holders) override {
    return shown_.FileInUse(path, holders);
  }
  void ReplacedAtRestart(const std::wstring& target, const std::wstring& staged) override {
    Both([&](InstallEvents& e) { e.ReplacedAtRestart(target, staged); });
  }
  void UninstallerPlaced(const std::wstring& path) override {
    Both([&](InstallEvents& e) { e.UninstallerPlaced(path); });
  }
  void EarlierFileKept(const std::wstring& path, bool changed) override {
    Both([&](InstallEvents& e) { e.EarlierFileKept(path, changed); });
  }
  void EntryRegistered(const std::wstring& keyPath) override {
    Both([&](InstallEvents& e) { e.EntryRegistered(keyPath); });
  }
  void Finished(const FinishPageBoxes& boxes) override {
    Both([&](InstallEvents& e) { e.Finished(boxes); });
  }
  void Failed(const std::wstring& message, int exitCode) override {
    Both([&](InstallEvents& e) { e.Failed(message, exitCode); });
  }

 private:
  template <typename Call>
  void Both(Call call) {
    call(shown_);
    if (logged_)
      call(*logged_);
  }

  InstallEvents& shown_;
  InstallEvents* logged_;
};
