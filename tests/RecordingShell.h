#pragma once
// A shell that records what it was asked to open or restart instead of doing it.

#include <string>
#include <vector>

#include "support/ShellActions.h"

class RecordingShell final : public ShellActions {
 public:
  struct Call {
    std::wstring file, parameters, folder;
    int show;
    bool operator==(const Call&) const = default;
  };
  std::vector<Call> opened;
  int restarts = 0;

  bool Open(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
            int show) override {
    opened.push_back({file, parameters, folder, show});
    return true;
  }
  bool RequestRestart() override {
    ++restarts;
    return true;
  }
};
