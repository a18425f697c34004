#include "setup/UninstallScript.h"

#include <windows.h>

#include <optional>
#include <set>

#include "formats/RecordRemoval.h"
#include "formats/UninstallRecord.h"
#include "setup/InstallJournal.h"
#include "setup/SetupState.h"
#include "setup/UninstallRegistration.h"
#include "support/FileNames.h"
#include "support/FileSystem.h"
#include "support/Handle.h"
#include "support/PathNames.h"

namespace {
bool SamePath(const std::wstring& a, const std::wstring& b) {
  return FoldedPath(LongFullPath(a)) == FoldedPath(LongFullPath(b));
}

// Whether the record at `path` is this product's.
Expected<bool> IsOwnRecord(const std::wstring& path, const SetupState& state) {
  std::wstring problem;
  const std::optional<ProfileFile> record = ProfileFile::Load(path, problem);
  if (!record)
    return Failure(std::move(problem));
  if (record->HasKey(uninstall::kFilesSection, uninstall::kProductName))
    return SameFileName(record->ReadString(uninstall::kFilesSection, uninstall::kProductName, L""),
                        state.ProgramName);
  UninstallCommand registered;
  const std::wstring command = RegisteredUninstallString(state.ProgramName);
  return !command.empty() && ParseUninstallCommand(command.c_str(), registered) &&
         SamePath(registered.ScriptPath, path);
}

// The numbers of the records in `folder`: 0 for Uninst.ini, n for Uninst<n>.ini.
std::set<int> RecordNumbers(const std::wstring& folder) {
  std::set<int> numbers;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((folder + uninstall::kRecordPattern).c_str(), &found));
  if (!search)
    return numbers;
  do {
    const std::wstring name = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsRecordFileName(name))
      continue;
    const std::wstring digits = name.substr(6, name.size() - 10);
    if (digits.empty())
      numbers.insert(0);
    else if (digits.size() <= 6 && digits[0] != L'0')
      numbers.insert(std::stoi(digits));
  } while (FindNextFileW(search.Get(), &found));
  return numbers;
}

// The rows of the record's sections that this install leaves empty, put back
// from the record as it was: what could not be taken back stays answerable.
void RestoreEarlierRows(SetupState& state) {
  if (!state.PreviousRecord)
    return;
  for (const wchar_t* section : {uninstall::kFilesSection, uninstall::kShortCutsSection})
    for (const auto& [key, value] : state.PreviousRecord->ReadSection(section))
      if (state.UninstallScript.ReadString(section, key, L"").empty())
        state.UninstallScript.WriteString(section, key, value);
}

Expected<std::wstring> ChooseRecord(const SetupState& state) {
  // Joined as the record's path has always been registered, even after a "\".
  const std::wstring folder = state.InstallPath + L"\\";
  const std::set<int> numbers = RecordNumbers(folder);
  for (int number : numbers) {
    const Expected<bool> own = IsOwnRecord(folder + RecordFileName(number), state);
    if (!own.Ok())
      return own.Error();
    if (*own)
      return folder + RecordFileName(number);
  }
  int free = 0;
  while (numbers.count(free)) ++free;
  return folder + RecordFileName(free);
}
}  // namespace

Status OpenUninstallScript(SetupState& state, InstallJournal& journal) {
  Expected<std::wstring> chosen = ChooseRecord(state);
  if (!chosen)
    return std::move(chosen).Error();
  state.UninstallScriptPath = std::move(*chosen);
  const std::wstring path = state.UninstallScriptPath;
  const bool existed = FileExists(path);
  state.UninstallScript = ProfileFile();
  state.PreviousRecord.reset();
  if (existed) {
    std::wstring problem;
    std::optional<ProfileFile> record = ProfileFile::Load(path, problem);
    if (!record)
      return Failure(std::move(problem));
    state.UninstallScript = std::move(*record);
    state.PreviousRecord = state.UninstallScript;
    // The earlier record is kept whole beside it and renamed back by a take-back,
    // never rewritten in place.
    if (Status kept = journal.KeepCopy(path); !kept)
      return kept;
  }
  journal.AddBookkeeping(path, [path, existed, &state](bool somethingLeft) {
    if (somethingLeft) {
      // What could not be removed stays listed in the record.
      RestoreEarlierRows(state);
      return static_cast<bool>(SaveUninstallScript(state));
    }
    if (!existed)
      return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
             GetLastError() == ERROR_PATH_NOT_FOUND;
    return true;  // the copy has been renamed back with the files
  });
  return {};
}

void ForgetEarlierRows(SetupState& state) {
  ProfileFile& record = state.UninstallScript;
  for (const auto& [key, value] : record.ReadSection(uninstall::kFilesSection)) {
    std::optional<std::wstring> number;
    for (const wchar_t* stem :
         {uninstall::kFileSizeKey, uninstall::kFileCrcKey, uninstall::kFileKey})
      if (!number)
        number = RowNumber(key, stem);
    const bool beyond = number && (number->size() > 9 || std::stol(*number) < 1 ||
                                   std::stol(*number) > state.CountOfFiles);
    if (beyond && !value.empty())
      record.WriteString(uninstall::kFilesSection, key, L"");
  }
  for (const auto& [key, value] : record.ReadSection(uninstall::kShortCutsSection))
    if (!value.empty() && RowNumber(key, uninstall::kShortCutKey))
      record.WriteString(uninstall::kShortCutsSection, key, L"");
}

Status SaveUninstallScript(const SetupState& state) {
  return TryReplaceFileBytes(state.UninstallScriptPath, state.UninstallScript.ToBytes());
}

Status UninstallScriptCheckpoints::Save(bool now) {
  const uint64_t tick = GetTickCount64();
  if (!now && (!dirty_ || tick - lastSave_ < intervalMs_))
    return {};
  if (Status saved = SaveUninstallScript(state_); !saved)
    return saved;
  lastSave_ = tick;
  dirty_ = false;
  return {};
}
