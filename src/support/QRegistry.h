#pragma once
// The registry: one key class for opening, creating, reading, writing and
// deleting, and the program-wide registry object that reads one text value.

#include <windows.h>

#include <optional>
#include <string>

#include "support/Failure.h"
#include "support/Handle.h"

// An open registry key; an empty one when it could not be opened.
class RegistryKey {
 public:
  RegistryKey() noexcept = default;

  // Opens an existing key; read access is the default, as asking for more fails
  // on keys a user may only read. Gives an empty key when it cannot be opened.
  static RegistryKey Open(HKEY root, const std::wstring& path, REGSAM access = KEY_READ);
  // Opens the key, creating it and its missing parents. Raises "Failed to create key <path>".
  static RegistryKey Create(HKEY root, const std::wstring& path,
                            REGSAM access = KEY_QUERY_VALUE | KEY_SET_VALUE);
  // Each raising member has a Try twin that returns the failure it would raise.
  static Expected<RegistryKey> TryCreate(HKEY root, const std::wstring& path,
                                         REGSAM access = KEY_QUERY_VALUE | KEY_SET_VALUE);
  // Deletes a key that has no subkeys; ERROR_FILE_NOT_FOUND when there is none.
  static LSTATUS DeleteKey(HKEY root, const std::wstring& path);

  explicit operator bool() const noexcept { return key_.Valid(); }
  HKEY Get() const noexcept { return key_.Get(); }

  // A text value (REG_SZ or REG_EXPAND_SZ) up to its first zero, unexpanded; a
  // value of size 0, of whatever type, reads as "". Returns ERROR_SUCCESS,
  // ERROR_FILE_NOT_FOUND for a missing value, ERROR_UNSUPPORTED_TYPE for a value
  // of another type, or the code of a refused read. `type` (if given) gets the
  // value's data type.
  LSTATUS QueryText(const std::wstring& name, std::wstring& text, DWORD* type = nullptr) const;
  // The text as QueryText reads it; nullopt for a missing value. Raises "Invalid
  // data type for '<name>'" or "Failed to get data for '<name>'".
  std::optional<std::wstring> ReadText(const std::wstring& name) const;
  // A REG_DWORD value; nullopt when missing. Raises as ReadText does.
  std::optional<DWORD> ReadNumber(const std::wstring& name) const;
  Expected<std::optional<std::wstring>> TryReadText(const std::wstring& name) const;
  Expected<std::optional<DWORD>> TryReadNumber(const std::wstring& name) const;

  // Writes a REG_SZ value and returns the system's code.
  LSTATUS SetText(const std::wstring& name, const std::wstring& value);
  // Write a REG_SZ or REG_DWORD value or raise "Failed to set data for '<name>'".
  void WriteText(const std::wstring& name, const std::wstring& value);
  void WriteNumber(const std::wstring& name, DWORD value);
  Status TryWriteText(const std::wstring& name, const std::wstring& value);
  Status TryWriteNumber(const std::wstring& name, DWORD value);
  // ERROR_FILE_NOT_FOUND when there is no such value.
  LSTATUS DeleteValue(const std::wstring& name);

 private:
  explicit RegistryKey(RegKey key) noexcept : key_(std::move(key)) {}
  LSTATUS Set(const std::wstring& name, DWORD type, const void* data, DWORD bytes);

  RegKey key_;
};

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
