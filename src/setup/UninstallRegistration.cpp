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
void WriteUninstallValue(const std::wstring& keyPath, const std::wstring& name,
                         const std::wstring& value) {
  RegistryKey::Create(HKEY_LOCAL_MACHINE, keyPath, KEY_SET_VALUE).WriteText(name, value);
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
  return state.WindowsFolder.empty() ? SystemWindowsFolder() : state.WindowsFolder;
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
  const RegistryKey key = RegistryKey::Open(HKEY_LOCAL_MACHINE, UninstallRegistryKey(programName));
  if (!key)
    return {};
  return ReadValue(key, uninstall::kUninstallString).value_or(L"");
}
