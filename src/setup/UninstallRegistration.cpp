#include "setup/UninstallRegistration.h"

#include <windows.h>

#include <optional>
#include <utility>
#include <vector>

#include "formats/PackageError.h"
#include "formats/Payload.h"
#include "formats/ScriptKeys.h"
#include "formats/UninstallEntry.h"
#include "formats/UninstallRecord.h"
#include "setup/InstallJournal.h"
#include "setup/SetupState.h"
#include "support/Environment.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/FileVersion.h"
#include "support/QRegistry.h"

namespace {
// The values a rollback puts back; LinkFolders too, as it decides which links
// the record's uninstall may remove.
constexpr const wchar_t* kEntryValues[] = {uninstall::kDisplayName, uninstall::kDisplayIcon,
                                           uninstall::kUninstallString, uninstall::kLinkFolders};

// Only REG_SZ values: the entry is written with nothing else.
std::optional<std::wstring> ReadValue(const RegistryKey& key, const wchar_t* name) {
  std::wstring text;
  DWORD type = REG_NONE;
  if (key.QueryText(name, text, &type) != ERROR_SUCCESS || type != REG_SZ)
    return std::nullopt;
  return text;
}

// Each value opens (creating if needed) the key afresh, as a key removed between
// two writes must come back.
Status WriteUninstallValue(const std::wstring& keyPath, const std::wstring& name,
                           const std::wstring& value) {
  Expected<RegistryKey> key = RegistryKey::TryCreate(HKEY_LOCAL_MACHINE, keyPath, KEY_SET_VALUE);
  if (!key)
    return std::move(key).Error();
  return key->TryWriteText(name, value);
}

// Notes how to put the entry back as it is now: removed when there was none,
// else its three values as they were.
void NoteEntry(const std::wstring& keyPath, InstallJournal& journal) {
  const RegistryKey key = RegistryKey::Open(HKEY_LOCAL_MACHINE, keyPath);
  const bool existed = static_cast<bool>(key);
  std::vector<std::pair<const wchar_t*, std::optional<std::wstring>>> before;
  if (existed)
    for (const wchar_t* name : kEntryValues) before.emplace_back(name, ReadValue(key, name));
  journal.AddBookkeeping(L"HKEY_LOCAL_MACHINE\\" + keyPath, [keyPath, existed, before](bool left) {
    if (left)
      return true;  // what is left stays registered with its record
    if (!existed) {
      const LSTATUS status = RegistryKey::DeleteKey(HKEY_LOCAL_MACHINE, keyPath);
      return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    RegistryKey entry = RegistryKey::Open(HKEY_LOCAL_MACHINE, keyPath, KEY_SET_VALUE);
    if (!entry)
      return false;
    bool ok = true;
    for (const auto& [name, value] : before)
      ok &= value ? entry.SetText(name, *value) == ERROR_SUCCESS
                  : entry.DeleteValue(name) != ERROR_ACCESS_DENIED;
    return ok;
  });
}

// Places the package's uninstaller unless a newer one is there already.
Status PlaceUninstaller(const SetupState& state, const std::wstring& windows,
                        InstallJournal& journal) {
  const std::wstring image = state.PackageFolder + script::kUninstallerImage;
  const std::wstring target = windows + L"\\" + uninstall::kUninstallerFileName;
  if (!FileExists(image))
    return PackageFailure(L"Пакет неполон: в нём нет файла «" +
                          std::wstring(script::kUninstallerImage) +
                          L"» с программой удаления. Установка прервана.");
  const bool existed = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (existed) {
    const std::optional<uint64_t> placed = ProgramFileVersion(target);
    const std::optional<uint64_t> offered = ProgramFileVersion(image);
    if (placed && (!offered || *offered < *placed))
      return {};
  }
  // Written through a handle of its own beside the target: a failure leaves the
  // old uninstaller whole.
  Expected<TemporaryFile> copy = TemporaryFile::Make(target);
  if (!copy)
    return std::move(copy).Error();
  CopyBuffer buffer;
  if (Expected<int64_t> copied = TryAppendFile(copy->File(), image, buffer, kLauncherBlock);
      !copied)
    return std::move(copied).Error();
  if (Status committed = copy->TryCommit(); !committed)
    return committed;
  if (!existed)
    journal.Created(target);
  return {};
}
}  // namespace

Expected<std::wstring> WindowsFolder(const SetupState& state) {
  if (!state.WindowsFolder.empty())
    return state.WindowsFolder;
  if (std::optional<std::wstring> folder = TrySystemWindowsFolder())
    return std::move(*folder);
  return LastErrorFailure(L"GetSystemWindowsDirectoryW");
}

Status RegisterUninstaller(const SetupState& state, InstallJournal& journal) {
  const Expected<std::wstring> windows = WindowsFolder(state);
  if (!windows)
    return windows.Error();
  if (Status placed = PlaceUninstaller(state, *windows, journal); !placed)
    return placed;

  const std::wstring keyPath = UninstallRegistryKey(state.ProgramName);
  NoteEntry(keyPath, journal);
  const std::pair<const wchar_t*, std::wstring> values[] = {
      {uninstall::kDisplayName, state.ProgramName},
      {uninstall::kDisplayIcon, UninstallDisplayIcon(*windows)},
      {uninstall::kUninstallString,
       UninstallCommandLine(*windows, state.UninstallScriptPath, state.ProgramName)}};
  for (const auto& [name, value] : values)
    if (Status written = WriteUninstallValue(keyPath, name, value); !written)
      return written;
  return {};
}

std::wstring RegisteredUninstallString(const std::wstring& programName) {
  const RegistryKey key = RegistryKey::Open(HKEY_LOCAL_MACHINE, UninstallRegistryKey(programName));
  if (!key)
    return {};
  return ReadValue(key, uninstall::kUninstallString).value_or(L"");
}
