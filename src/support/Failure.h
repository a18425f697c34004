#pragma once
// Failures that travel by return value. The setup program is built without
// exceptions (it then carries no unwinder and no unwind tables): each step of
// it that can fail returns a Status or an Expected<T>, and its caller passes a
// failure on or acts on its kind. The throwing functions of the support code
// are wrappers over these for the programs that keep exceptions.

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

// What a caller may act on: an install's exit code, the wizard going on after
// the user stopped it.
enum class FailureKind : unsigned char {
  Error,      // a file, folder, registry key or system call failed
  Stopped,    // the user stopped the operation
  Package,    // the package is damaged, incomplete or tampered with
  FileInUse,  // a file to replace stayed held by another program
  Refused,    // an installed product forbids the install; Code() is the exit code
};

class Failure {
 public:
  explicit Failure(std::wstring message, FailureKind kind = FailureKind::Error, int code = 0)
      : message_(std::move(message)), kind_(kind), code_(code) {}

  const std::wstring& Message() const noexcept { return message_; }
  FailureKind Kind() const noexcept { return kind_; }
  int Code() const noexcept { return code_; }
  bool Is(FailureKind kind) const noexcept { return kind_ == kind; }

  // The same failure, its message followed by `addition`.
  Failure Extended(const std::wstring& addition) const {
    return Failure(message_ + addition, kind_, code_);
  }

 private:
  std::wstring message_;
  FailureKind kind_;
  int code_;
};

// Success, or the failure that stopped a step.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Failure failure) : failure_(std::move(failure)) {}  // NOLINT: `return Failure(…)`

  explicit operator bool() const noexcept { return !failure_; }
  const Failure& Error() const& { return *failure_; }
  Failure&& Error() && { return std::move(*failure_); }

 private:
  std::optional<Failure> failure_;
};

// A value, or the failure that kept a step from making it.
template <typename T>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT
  Expected(Failure failure)                                                // NOLINT
      : state_(std::in_place_index<1>, std::move(failure)) {}

  bool Ok() const noexcept { return state_.index() == 0; }
  // Not for Expected<bool>, where it would read as the value: that one says Ok().
  explicit operator bool() const noexcept requires(!std::is_same_v<T, bool>) { return Ok(); }
  T& operator*() & { return *std::get_if<0>(&state_); }
  const T& operator*() const& { return *std::get_if<0>(&state_); }
  T&& operator*() && { return std::move(*std::get_if<0>(&state_)); }
  T* operator->() { return std::get_if<0>(&state_); }
  const T* operator->() const { return std::get_if<0>(&state_); }
  const Failure& Error() const& { return *std::get_if<1>(&state_); }
  Failure&& Error() && { return std::move(*std::get_if<1>(&state_)); }

 private:
  std::variant<T, Failure> state_;
};
