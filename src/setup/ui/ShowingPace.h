#pragma once
// How often the copy page may change what it shows. Each change to a label or
// a bar repaints it at once; under Wine one step of the overall bar took about
// 7 ms, and 20,000 small files, whose shares change a thousand times, spent
// 7 of their 11 seconds on it. What comes sooner is held back by its caller
// and shown at a later turn.

#include <windows.h>

class ShowingPace {
 public:
  explicit ShowingPace(DWORD intervalMs) : intervalMs_(intervalMs) {}

  // Whether something may be shown now (the first time always); if so, the
  // interval starts again.
  bool Take() {
    const DWORD now = GetTickCount();
    if (taken_ && now - takenAt_ < intervalMs_)
      return false;
    takenAt_ = now;
    taken_ = true;
    return true;
  }

 private:
  DWORD intervalMs_;
  DWORD takenAt_ = 0;
  bool taken_ = false;
};
