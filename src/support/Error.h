#pragma once
// The one exception type of the kit: file, profile and registry failures carry
// the system's own wording, and each UI action shows it in the standard error box.

#include <exception>
#include <string>
#include <utility>

#include "support/Failure.h"
#include "support/ProgramEnd.h"

class KovrinError : public std::exception {
 public:
  explicit KovrinError(std::wstring message);

  const std::wstring& Message() const noexcept { return message_; }
  // UTF-8 copy for std::exception users (test output, logs).
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  std::wstring message_;
  std::string utf8_;
};

// Raises `error`, a KovrinError or one derived from it. A program built without
// exceptions cannot unwind to a handler: there the error ends the program with
// its message (support/ProgramEnd.h).
template <typename Error>
[[noreturn]] void Raise(Error&& error) {
#if __cpp_exceptions
  throw std::forward<Error>(error);
#else
  EndProgram(error.Message().c_str());
#endif
}

#if __cpp_exceptions
// The text for the exception being handled (call inside a catch block): a
// KovrinError's message, "Out of memory", another exception's what(), or
// "Unknown error".
std::wstring CurrentExceptionMessage();
#endif

// The user stopped a long operation (a build, an install, a pack). It carries the
// text to show, and it is a KovrinError so that a handler catching every error
// still has a message; catch it first where a stop is not a failure.
class OperationCancelled : public KovrinError {
 public:
  explicit OperationCancelled(std::wstring message) : KovrinError(std::move(message)) {}
};

// A failure raised for callers that handle errors as exceptions: a stop as
// OperationCancelled, any other kind as KovrinError.
[[noreturn]] void RaiseFailure(Failure failure);
inline void RaiseIfFailed(Status status) {
  if (!status)
    RaiseFailure(std::move(status).Error());
}
template <typename T>
T ValueOrRaise(Expected<T> expected) {
  if (!expected.Ok())
    RaiseFailure(std::move(expected).Error());
  return std::move(*expected);
}

// The system's text for an error code, without the trailing line break.
std::wstring SystemErrorText(unsigned long code);

// Every system error reads "<what>. <the system's text for code>".
std::wstring SystemErrorMessage(const std::wstring& what, unsigned long code);
[[noreturn]] void ThrowSystemError(const std::wstring& what, unsigned long code);
// The same for GetLastError(); `what` is built before the call, so the code is
// still the failed call's.
[[noreturn]] void ThrowLastError(const std::wstring& what);
// The same as failures.
Failure SystemFailure(const std::wstring& what, unsigned long code);
Failure LastErrorFailure(const std::wstring& what);

// `Cannot open file "<path>". <reason of GetLastError()>`, and raising it.
std::wstring CannotOpenMessage(const std::wstring& path);
[[noreturn]] void ThrowCannotOpen(const std::wstring& path);
// `Cannot create file "<path>". <reason of GetLastError()>`, and raising it.
std::wstring CannotCreateMessage(const std::wstring& path);
[[noreturn]] void ThrowCannotCreate(const std::wstring& path);
