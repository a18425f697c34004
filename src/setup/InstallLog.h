#pragma once
// The install log of /LOG=<file>: the start, the package, each file written with
// its size, each link, the uninstaller and its registry entry, and the result,
// one time-stamped line each, written as they happen: the install's events that
// leave something behind, and its failure. Without a file it writes nothing and
// costs nothing.

#include <cstdint>
#include <string>

#include "setup/InstallEvents.h"
#include "support/LogFile.h"

struct SetupState;

// The setup program's version, as the log names it.
extern const wchar_t kSetupVersion[];

class InstallLog final : public InstallEvents {
 public:
  InstallLog() = default;
  explicit InstallLog(LogFile file) : file_(std::move(file)) {}

  // The exit code of the failure it was told of; 0 when none.
  int FailureCode() const { return failureCode_; }

  void Start(const std::wstring& programPath, const std::wstring& commandLine);
  // Package folder, product, version, company, file count and total size.
  void Package(const SetupState& state);
  void InstallFolder(const std::wstring& folder);
  void Note(const std::wstring& text);
  // The last line: the exit code, what it means and, on failure, why.
  void Result(int exitCode, const std::wstring& reason = {});

  void FileWritten(const std::wstring& path, int64_t bytes) override;
  void LinkMade(const std::wstring& path, bool made) override;
  void ReplacedAtRestart(const std::wstring& target, const std::wstring& staged) override;
  void UninstallerPlaced(const std::wstring& path) override;
  void EarlierFileKept(const std::wstring& path, bool changed) override;
  void EntryRegistered(const std::wstring& keyPath) override;
  void Failed(const std::wstring& message, int exitCode) override;

 private:
  LogFile file_;
  int failureCode_ = 0;
};
