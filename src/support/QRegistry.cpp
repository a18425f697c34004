#include "support/QRegistry.h"

#include <memory>

#include "support/Error.h"
#include "support/Handle.h"

namespace {
std::unique_ptr<QRegistry> g_registry;
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
  root_ = root;
  RegKey key;
  // Read access is enough: asking for full rights fails on keys a user may only read.
  if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
    return defaultValue;

  DWORD type = 0;
  DWORD bytes = 0;
  LONG status = RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &bytes);
  if (status == ERROR_FILE_NOT_FOUND)
    return defaultValue;
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
    throw KovrinError(L"Failed to get data for '" + valueName + L"'");
  if (bytes == 0)
    return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw KovrinError(L"Invalid data type for '" + valueName + L"'");

  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  status = RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(text.data()), &size);
  if (status != ERROR_SUCCESS)
    throw KovrinError(L"Failed to get data for '" + valueName + L"'");
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}
