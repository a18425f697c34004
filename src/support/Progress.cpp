#include "support/Progress.h"

#include <windows.h>

bool PumpThrottle::Due() {
  const uint64_t now = GetTickCount64();
  if (started_ && now - last_ < interval_)
    return false;
  started_ = true;
  last_ = now;
  return true;
}
