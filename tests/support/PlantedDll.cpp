// A DLL that no system folder holds, put beside the support tests: the DLL
// search test loads it by its bare name before and after the search is
// restricted to System32.
#include <windows.h>

extern "C" __declspec(dllexport) int KovrinPlanted() {
  return 42;
}
