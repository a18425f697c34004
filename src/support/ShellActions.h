#pragma once
// Side effects on the system: opening documents, programs and web addresses, and
// restarting the computer. Tests replace this interface and record the calls.

#include <string>

class ShellActions {
 public:
  virtual ~ShellActions() = default;
  // The shell's "open" verb; true when the shell accepted the request.
  virtual bool Open(const std::wstring& file, const std::wstring& parameters,
                    const std::wstring& folder, int showCommand) = 0;
  // Asks the system to restart (not forced); true when the request was accepted.
  virtual bool RequestRestart() = 0;
};

// The real thing: ShellExecuteW, and ExitWindowsEx after enabling the shutdown privilege.
class SystemShellActions final : public ShellActions {
 public:
  bool Open(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
            int showCommand) override;
  bool RequestRestart() override;
};
