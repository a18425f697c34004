#include "support/QRegistry.h"

#include <memory>

#include "support/Error.h"

namespace {
std::unique_ptr<QRegistry> g_registry;

Failure ReadFailure(const std::wstring& name, LSTATUS status) {
  if (status == ERROR_UNSUPPORTED_TYPE)
    return Failure(L"Invalid data type for '" + name + L"'");
  return Failure(L"Failed to get data for '" + name + L"'");
}

Failure WriteFailure(const std::wstring& name) {
  return Failure(L"Failed to set data for '" + name + L"'");
}
}  // namespace

RegistryKey RegistryKey::Open(HKEY root, const std::wstring& path, REGSAM access) {
  RegKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, access, key.Put()) != ERROR_SUCCESS)
    key.Reset();
  return RegistryKey(std::move(key));
}

RegistryKey RegistryKey::Create(HKEY root, const std::wstring& path, REGSAM access) {
  return ValueOrRaise(TryCreate(root, path, access));
}

Expected<RegistryKey> RegistryKey::TryCreate(HKEY root, const std::wstring& path, REGSAM access) {
  RegKey key;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, access, nullptr, key.Put(), nullptr) !=
      ERROR_SUCCESS)
    return Failure(L"Failed to create key " + path);
  return RegistryKey(std::move(key));
}

LSTATUS RegistryKey::DeleteKey(HKEY root, const std::wstring& path) {
  return RegDeleteKeyW(root, path.c_str());
}

LSTATUS RegistryKey::QueryText(const std::wstring& name, std::wstring& text, DWORD* type) const {
  text.clear();
  DWORD found = REG_NONE;
  DWORD bytes = 0;
  LSTATUS status = RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &found, nullptr, &bytes);
  if (type)
    *type = found;
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
    return status;
  if (bytes == 0)
    return ERROR_SUCCESS;
  if (found != REG_SZ && found != REG_EXPAND_SZ)
    return ERROR_UNSUPPORTED_TYPE;
  // One character more than the size asks for: a value stored without its zero still ends.
  std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
  DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  status = RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &found,
                            reinterpret_cast<BYTE*>(buffer.data()), &size);
  if (status != ERROR_SUCCESS)
    return status;
  buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
  text = std::move(buffer);
  return ERROR_SUCCESS;
}

std::optional<std::wstring> RegistryKey::ReadText(const std::wstring& name) const {
  return ValueOrRaise(TryReadText(name));
}

Expected<std::optional<std::wstring>> RegistryKey::TryReadText(const std::wstring& name) const {
  std::wstring text;
  const LSTATUS status = QueryText(name, text);
  if (status == ERROR_FILE_NOT_FOUND)
    return std::optional<std::wstring>();
  if (status != ERROR_SUCCESS)
    return ReadFailure(name, status);
  return std::optional<std::wstring>(std::move(text));
}

std::optional<DWORD> RegistryKey::ReadNumber(const std::wstring& name) const {
  return ValueOrRaise(TryReadNumber(name));
}

Expected<std::optional<DWORD>> RegistryKey::TryReadNumber(const std::wstring& name) const {
  DWORD type = REG_NONE;
  DWORD value = 0;
  DWORD bytes = sizeof value;
  LSTATUS status = RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(&value), &bytes);
  if (status == ERROR_FILE_NOT_FOUND)
    return std::optional<DWORD>();
  if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA)
    status = type == REG_DWORD && bytes == sizeof value ? ERROR_SUCCESS : ERROR_UNSUPPORTED_TYPE;
  if (status != ERROR_SUCCESS)
    return ReadFailure(name, status);
  return std::optional<DWORD>(value);
}

LSTATUS RegistryKey::Set(const std::wstring& name, DWORD type, const void* data, DWORD bytes) {
  return RegSetValueExW(key_.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
}

LSTATUS RegistryKey::SetText(const std::wstring& name, const std::wstring& value) {
  return Set(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void RegistryKey::WriteText(const std::wstring& name, const std::wstring& value) {
  RaiseIfFailed(TryWriteText(name, value));
}

Status RegistryKey::TryWriteText(const std::wstring& name, const std::wstring& value) {
  if (SetText(name, value) != ERROR_SUCCESS)
    return WriteFailure(name);
  return {};
}

void RegistryKey::WriteNumber(const std::wstring& name, DWORD value) {
  RaiseIfFailed(TryWriteNumber(name, value));
}

Status RegistryKey::TryWriteNumber(const std::wstring& name, DWORD value) {
  if (Set(name, REG_DWORD, &value, sizeof value) != ERROR_SUCCESS)
    return WriteFailure(name);
  return {};
}

LSTATUS RegistryKey::DeleteValue(const std::wstring& name) {
  return RegDeleteValueW(key_.Get(), name.c_str());
}

QRegistry& Registry() {
  if (!g_registry)
    g_registry = std::make_unique<QRegistry>();
  return *g_registry;
}

RegistryScope::RegistryScope() {
  g_registry = std::make_unique<QRegistry>();
}
RegistryScope::~RegistryScope() {
  g_registry.reset();
}

std::wstring QRegistry::ReadRegString(HKEY root, const std::wstring& keyPath,
                                      const std::wstring& valueName,
                                      const std::wstring& defaultValue) {
  const RegistryKey key = RegistryKey::Open(root, keyPath);
  if (!key)
    return defaultValue;
  return key.ReadText(valueName).value_or(defaultValue);
}
