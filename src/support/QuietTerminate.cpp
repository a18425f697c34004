// The runtime's default std::terminate handler, defined here so that the
// runtime's own is not linked: that one prints the uncaught exception's
// demangled type name to a standard error stream that a windowed program does
// not have, and brings the whole C++ demangler (some 45 KB) and the printf
// machinery with it. Ending the process is all that either does in the end.

#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
