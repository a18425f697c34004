// The helpers the standard containers and strings call to raise their errors
// (a length past max_size(), an index out of range, memory exhausted), defined
// here so that the runtime's own are not linked. Those build std::logic_error
// and std::runtime_error, whose messages are the library's old reference-counted
// strings: linking them brings a second whole string implementation, the
// exception classes and std::random_device (together some 80 KB) into every
// program, for errors that no code of the kit catches by their type.
//
// Each helper raises an exception of the same family with the same what():
// std::bad_alloc and its siblings as they are, and for the rest a
// std::exception whose what() is the library's message. Code that catches
// std::exception, or everything, sees no difference.

#include <cstdlib>
#include <exception>
#include <functional>
#include <new>
#include <typeinfo>

#include "support/ProgramEnd.h"

// A program built without exceptions cannot throw: for it any of these errors
// ends the process, as an exception nobody catches would. One that sets how it
// ends (the uninstaller, see support/ProgramEnd.h) reports the message first;
// the self-extractor, which has no use for that, aborts.
// `what` is the error's what(), spelt out: the library's own what() lives beside
// its throwing helpers and would bring them back.
#if __cpp_exceptions
#define KOVRIN_RAISE(error, what) throw error
#elif KOVRIN_PROGRAM_END
#define KOVRIN_RAISE(error, what) EndProgram(what)
#else
#define KOVRIN_RAISE(error, what) std::abort()
#endif

namespace {
class LibraryError : public std::exception {
 public:
  explicit LibraryError([[maybe_unused]] const char* message) noexcept
      : message_(message ? message : "") {}
  const char* what() const noexcept override { return message_; }

 private:
  const char* message_;  // the library passes string literals
};
}  // namespace

namespace std {
void __throw_bad_exception() {
  KOVRIN_RAISE(bad_exception(), "std::bad_exception");
}
void __throw_bad_alloc() {
#if KOVRIN_PROGRAM_END
  EndProgram(L"Out of memory");  // the text every handler of the kit shows for it
#else
  KOVRIN_RAISE(bad_alloc(), "std::bad_alloc");
#endif
}
void __throw_bad_array_new_length() {
  KOVRIN_RAISE(bad_array_new_length(), "std::bad_array_new_length");
}
void __throw_bad_cast() {
  KOVRIN_RAISE(bad_cast(), "std::bad_cast");
}
#if !__cpp_exceptions
// Only without exceptions: std::bad_function_call's own members share an object
// with the runtime's helper, so a program that throws one links that helper anyway.
void __throw_bad_function_call() {
  KOVRIN_RAISE(bad_function_call(), "bad_function_call");
}
#endif
void __throw_bad_typeid() {
  KOVRIN_RAISE(bad_typeid(), "std::bad_typeid");
}
void __throw_logic_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message), message);
}
void __throw_domain_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message), message);
}
void __throw_invalid_argument([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message), message);
}
void __throw_length_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message), message);
}
void __throw_out_of_range([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message), message);
}
// The library's format holds "%zu" fields for the index and the size; the
// message stays the format itself rather than bringing a formatter along.
void __throw_out_of_range_fmt([[maybe_unused]] const char* format, ...) {
  KOVRIN_RAISE(LibraryError(format), format);
}
void __throw_runtime_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message), message);
}
void __throw_range_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message), message);
}
void __throw_overflow_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message), message);
}
void __throw_underflow_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message), message);
}
}  // namespace std
