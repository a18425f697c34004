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
#include <new>
#include <typeinfo>

// A program built without exceptions (the self-extractor) cannot throw; for it
// any of these errors ends the process, as an exception nobody catches would.
#if __cpp_exceptions
#define KOVRIN_RAISE(error) throw error
#else
#define KOVRIN_RAISE(error) std::abort()
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
  KOVRIN_RAISE(bad_exception());
}
void __throw_bad_alloc() {
  KOVRIN_RAISE(bad_alloc());
}
void __throw_bad_array_new_length() {
  KOVRIN_RAISE(bad_array_new_length());
}
void __throw_bad_cast() {
  KOVRIN_RAISE(bad_cast());
}
void __throw_bad_typeid() {
  KOVRIN_RAISE(bad_typeid());
}
void __throw_logic_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message));
}
void __throw_domain_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message));
}
void __throw_invalid_argument([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message));
}
void __throw_length_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message));
}
void __throw_out_of_range([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message));
}
// The library's format holds "%zu" fields for the index and the size; the
// message stays the format itself rather than bringing a formatter along.
void __throw_out_of_range_fmt([[maybe_unused]] const char* format, ...) {
  KOVRIN_RAISE(LibraryError(format));
}
void __throw_runtime_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message));
}
void __throw_range_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message));
}
void __throw_overflow_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message));
}
void __throw_underflow_error([[maybe_unused]] const char* message) {
  KOVRIN_RAISE(LibraryError(message));
}
}  // namespace std
