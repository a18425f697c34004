#pragma once
// COM for the calling thread (single-threaded apartment) for the scope's lifetime.

#include <objbase.h>

class ComScope {
 public:
  ComScope()
      : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  }
  ~ComScope() {
    if (ok_)
      CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool ok_;
};
