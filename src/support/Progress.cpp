#include "support/Progress.h"

#include <windows.h>

void ThrottledProgress::Pump() {
  if (started_ && GetTickCount64() - last_ < kIntervalMs)
    return;
  PumpNow();
}

void ThrottledProgress::PumpNow() {
  started_ = true;
  last_ = GetTickCount64();
  inner_.Pump();
}
