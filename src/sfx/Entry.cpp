// The self-extractor's entry point, in place of the C runtime's startup code.
// Every single-file installer carries this program, and it needs nothing that
// code prepares: it reads its command line with GetCommandLineW, allocates from
// the process heap, keeps no thread-local data and writes no standard stream;
// what it takes from msvcrt (memcpy, abort) works uninitialised. Without the
// startup code and its pseudo-relocation, TLS and exception-filter support the
// stub is some 11 KB lighter. The link refuses pseudo-relocations, so nothing
// can come to rely on them unnoticed (src/sfx/CMakeLists.txt).
#include <windows.h>

// The linker gathers static constructors between the list's -1 and 0 markers.
// The stub has none today; should one appear, it still runs, last listed
// first as the runtime does. Destructors of statics do not run: the process
// ends with ExitProcess.
extern "C" void (*__CTOR_LIST__[])();

extern "C" __attribute__((force_align_arg_pointer)) void WINAPI KovrinSfxStart() {
  int count = 0;
  while (__CTOR_LIST__[count + 1]) ++count;
  while (count > 0) __CTOR_LIST__[count--]();
  ExitProcess(
      static_cast<UINT>(wWinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWDEFAULT)));
}
