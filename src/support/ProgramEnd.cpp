#include "support/ProgramEnd.h"

#include <windows.h>

#include <cstdlib>
#include <iterator>
#include <new>

namespace {
ProgramEndReport g_report = nullptr;
int g_exitCode = 3;  // what std::abort ends with
bool g_ending = false;
}  // namespace

void SetProgramEnd(ProgramEndReport report, int exitCode) {
  g_report = report;
  g_exitCode = exitCode;
}

void EndProgram(const wchar_t* message) {
  if (!g_report)
    std::abort();
  if (!g_ending) {
    g_ending = true;
    g_report(message);
  }
  ExitProcess(static_cast<UINT>(g_exitCode));
}

void EndProgram(const char* message) {
  wchar_t text[256];
  size_t length = 0;
  for (const char* c = message ? message : ""; *c && length + 1 < std::size(text); ++c)
    text[length++] = static_cast<unsigned char>(*c) < 0x80 ? static_cast<wchar_t>(*c) : L'?';
  text[length] = L'\0';
  EndProgram(text);
}

#if !__cpp_exceptions
// The runtime's operator new raises std::bad_alloc, and with it links the whole
// unwinder into a program that has no use for it; this one ends the program as
// an uncaught std::bad_alloc would, with the message such a handler shows.
void* operator new(std::size_t size) {
  if (void* block = std::malloc(size ? size : 1))
    return block;
  EndProgram(L"Out of memory");
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
#endif
