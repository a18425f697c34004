#pragma once
// Reading one text value from the registry through the program-wide registry object.

#include <windows.h>

#include <string>

class QRegistry {
 public:
  QRegistry() = default;
  QRegistry(const QRegistry&) = delete;
  QRegistry& operator=(const QRegistry&) = delete;

  // The value's text up to its first zero, unexpanded. A key that cannot be
  // opened, or a missing value, gives `defaultValue`; a value of another data
  // type raises "Invalid data type for '<name>'"; a refused read raises
  // "Failed to get data for '<name>'".
  std::wstring ReadRegString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                             const std::wstring& defaultValue);

  HKEY RootKey() const noexcept { return root_; }

 private:
  HKEY root_ = HKEY_CURRENT_USER;
};

// The program-wide registry object; exists from start-up to exit (see ProgramObjects).
QRegistry& Registry();

// Creates the registry object for the program's lifetime; destroyed in reverse order.
class RegistryScope {
 public:
  RegistryScope();
  ~RegistryScope();
  RegistryScope(const RegistryScope&) = delete;
  RegistryScope& operator=(const RegistryScope&) = delete;
};
