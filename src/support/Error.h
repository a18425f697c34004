#pragma once
// The one exception type of the kit: file, profile and registry failures carry
// the system's own wording, and each UI action shows it in the standard error box.

#include <exception>
#include <string>

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

// The text for the exception being handled (call inside a catch block): a
// KovrinError's message, "Out of memory", another exception's what(), or
// "Unknown error".
std::wstring CurrentExceptionMessage();

// The system's text for an error code, without the trailing line break.
std::wstring SystemErrorText(unsigned long code);

// Raises `Cannot open file "<path>". <reason of GetLastError()>`.
[[noreturn]] void ThrowCannotOpen(const std::wstring& path);
// Raises `Cannot create file "<path>". <reason of GetLastError()>`.
[[noreturn]] void ThrowCannotCreate(const std::wstring& path);
