#include "setup/UninstallRegistration.h"

#include <windows.h>

#include <optional>
#include <utility>
#include <vector>

#include "formats/PackageError.h"
#include "formats/Payload.h"
#include "formats/ScriptKeys.h"
#include "formats/UninstallRecord.h"
#include "setup/InstallJournal.h"
#include "setup/SetupState.h"
#include "setup/SetupVariables.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/FileVersion.h"
#include "support/Handle.h"

namespace {
constexpr const wchar_t* kEntryValues[] = {uninstall::kDisplayName, uninstall::kDisplayIcon,
                                           uninstall::kUninstallString};

std::optional<std::wstring> ReadValue(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

bool SetValue(HKEY key, const wchar_t* name, const std::wstring& value) {
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        bytes) == ERROR_SUCCESS;
}

// Each value opens (creating if needed) the key afresh, as a key removed between
// two writes must come back.
void WriteUninstallValue(const std::wstring& keyPath, const std::wstring& name,
                         const std::wstring& value) {
  RegKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      key.Put(), nullptr) != ERROR_SUCCESS)
    throw KovrinError(L"Failed to create key " + keyPath);
  if (!SetValue(key.Get(), name.c_str(), value))
    throw KovrinError(L"Failed to set data for '" + name + L"'");
}

// Notes how to put the entry back as it is now: removed when there was none,
// else its three values as they were.
void NoteEntry(const std::wstring& keyPath, InstallJournal& journal) {
  RegKey key;
  const bool existed =
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
  std::vector<std::pair<const wchar_t*, std::optional<std::wstring>>> before;
  if (existed)
    for (const wchar_t* name : kEntryValues) before.emplace_back(name, ReadValue(key.Get(), name));
  journal.AddBookkeeping(L"HKEY_LOCAL_MACHINE\\" + keyPath, [keyPath, existed, before](bool left) {
    if (left)
      return true;  // what is left stays registered with its record
    if (!existed) {
      const LSTATUS status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, keyPath.c_str());
      return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    RegKey entry;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_SET_VALUE, entry.Put()) !=
        ERROR_SUCCESS)
      return false;
    bool ok = true;
    for (const auto& [name, value] : before)
      ok &= value ? SetValue(entry.Get(), name, *value)
                  : (RegDeleteValueW(entry.Get(), name) != ERROR_ACCESS_DENIED);
    return ok;
  });
}

// Places the package's uninstaller unless a newer one is there already.
void PlaceUninstaller(const SetupState& state, const std::wstring& windows,
                      InstallJournal& journal) {
  const std::wstring image = state.PackageFolder + script::kUninstallerImage;
  const std::wstring target = windows + L"\\" + uninstall::kUninstallerFileName;
  if (!FileExists(image))
    throw PackageError(L"Пакет неполон: в нём нет файла «" +
                       std::wstring(script::kUninstallerImage) +
                       L"» с программой удаления. Установка прервана.");
  const bool existed = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (existed) {
    const std::optional<uint64_t> placed = ProgramFileVersion(target);
    const std::optional<uint64_t> offered = ProgramFileVersion(image);
    if (placed && (!offered || *offered < *placed))
      return;
  }
  // Written through a handle of its own beside the target: a failure leaves the
  // old uninstaller whole.
  TemporaryFile copy(target);
  CopyBuffer buffer;
  AppendFile(copy.File(), image, buffer, kLauncherBlock);
  copy.Commit();
  if (!existed)
    journal.Created(target);
}
}  // namespace

std::wstring WindowsFolder(const SetupState& state) {
  return ExpandSetupVariables(state, L"%systemroot%");
}

void RegisterUninstaller(const SetupState& state, InstallJournal& journal) {
  const std::wstring windows = WindowsFolder(state);
  PlaceUninstaller(state, windows, journal);

  const std::wstring keyPath = UninstallRegistryKey(state.ProgramName);
  NoteEntry(keyPath, journal);
  WriteUninstallValue(keyPath, uninstall::kDisplayName, state.ProgramName);
  WriteUninstallValue(keyPath, uninstall::kDisplayIcon, UninstallDisplayIcon(windows));
  WriteUninstallValue(keyPath, uninstall::kUninstallString,
                      UninstallCommandLine(windows, state.UninstallScriptPath, state.ProgramName));
}

std::wstring RegisteredUninstallString(const std::wstring& programName) {
  RegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, UninstallRegistryKey(programName).c_str(), 0, KEY_READ,
                    key.Put()) != ERROR_SUCCESS)
    return {};
  return ReadValue(key.Get(), uninstall::kUninstallString).value_or(L"");
}
