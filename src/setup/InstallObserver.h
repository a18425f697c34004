#pragma once
// Who hears of each thing an install writes, as it is written: the install log.
// The install engine tells it through SetupState::Observer when one is set.

#include <cstdint>
#include <string>

class InstallObserver {
 public:
  virtual ~InstallObserver() = default;
  virtual void FileWritten(const std::wstring& /*path*/, int64_t /*bytes*/) {}
  // `made` false: the shell could not save the link (the install goes on).
  virtual void LinkMade(const std::wstring& /*path*/, bool /*made*/) {}
  virtual void UninstallerPlaced(const std::wstring& /*path*/) {}
  // The uninstall entry under HKEY_LOCAL_MACHINE, with all its values written.
  virtual void EntryRegistered(const std::wstring& /*keyPath*/) {}
  // The install stopped with this message (the caller still reports it).
  virtual void InstallFailed(const std::wstring& /*message*/, int /*exitCode*/) {}
};
