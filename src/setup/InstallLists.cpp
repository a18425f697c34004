#include "setup/InstallLists.h"

#include <algorithm>

#include "formats/LinkFolders.h"
#include "formats/PackageError.h"
#include "formats/ScriptKeys.h"
#include "formats/SetupScriptReader.h"
#include "setup/SetupState.h"
#include "setup/SetupVariables.h"
#include "support/FileSystem.h"
#include "support/Strings.h"

namespace {
// Every row has at least one key in its section, so a section's key count bounds
// the rows it can hold whatever count the script claims.
int32_t RowLimit(const ProfileFile& script, const wchar_t* section, int32_t claimed) {
  const size_t keys = script.KeyCount(section);
  return static_cast<int32_t>(
      std::min<int64_t>(std::max<int32_t>(claimed, 0), static_cast<int64_t>(keys)));
}

bool FileRowPresent(const ProfileFile& script, int32_t n) {
  using script::NumberedKey;
  return script.HasKey(script::kOneFiles, NumberedKey(script::kFileName, n)) ||
         script.HasKey(script::kOneFiles, NumberedKey(script::kFileSize, n));
}

bool ShortcutRowPresent(const ProfileFile& script, int32_t n) {
  for (const wchar_t* key :
       {script::kShortCutName, script::kShortCutSavePath, script::kShortCutFileName,
        script::kShortCutParams, script::kShortCutFilePath})
    if (script.HasKey(script::kOneShortCuts, script::NumberedKey(key, n)))
      return true;
  return false;
}
}  // namespace

uint8_t ShortcutKindOf(std::wstring_view savePath) {
  // The kinds are numbered as the tokens are listed.
  for (uint8_t kind = kShortcutDesktop; kind < kShortcutOtherFolder; ++kind)
    if (StartsWithNoCase(savePath, kLinkFolderTokens[kind]))
      return kind;
  return kShortcutOtherFolder;
}

Status LoadInstallLists(SetupState& state, ProgressSink& progress) {
  std::wstring problem;
  const std::optional<ProfileFile> loaded =
      ProfileFile::Load(state.PackageFolder + script::kScriptFile, problem);
  if (!loaded)
    return Failure(std::move(problem));
  const ProfileFile& script = *loaded;

  const int32_t shortcutLimit = RowLimit(script, script::kOneShortCuts, state.CountOfShortCuts);
  state.ShortcutList.assign(1, TShortCut());
  for (int32_t n = 1; n <= shortcutLimit && ShortcutRowPresent(script, n); ++n) {
    const ScriptShortcutRow row = ReadShortcutRow(script, n);
    TShortCut shortcut;
    shortcut.Name = ExpandSetupVariables(state, row.ShortCutName);
    shortcut.SavePath = ExpandSetupVariables(state, row.ShortCutSavePath);
    shortcut.FileName = ExpandSetupVariables(state, row.ShortCutFileName);
    shortcut.Params = ExpandSetupVariables(state, row.ShortCutParams);
    shortcut.FilePath = WithoutTrailingBackslash(ExpandSetupVariables(state, row.ShortCutFilePath));
    shortcut.Kind = ShortcutKindOf(row.ShortCutSavePath);
    state.ShortcutList.push_back(std::move(shortcut));
  }
  state.CountOfShortCuts = static_cast<int32_t>(state.ShortcutList.size() - 1);

  if (state.CountOfFiles < 0)
    return PackageFailure(L"Сценарий установки повреждён: число файлов CountOfFiles=" +
                          std::to_wstring(state.CountOfFiles) + L". Установка прервана.");
  const int32_t fileLimit = RowLimit(script, script::kOneFiles, state.CountOfFiles);
  state.FileList.assign(1, ScriptFileRow());
  for (int32_t n = 1; n <= state.CountOfFiles; ++n) {
    // A row beyond the section's keys is missing like any other.
    if (n > fileLimit || !FileRowPresent(script, n))
      return PackageFailure(L"Сценарий установки повреждён: в нём нет файла номер " +
                            std::to_wstring(n) + L", хотя файлов по сценарию " +
                            std::to_wstring(state.CountOfFiles) + L". Установка прервана.");
    Expected<ScriptFileRow> row = ReadFileRow(script, n);
    if (!row)
      return std::move(row).Error();
    state.FileList.push_back(std::move(*row));
    progress.Pump();
  }
  state.ListsRead = true;
  return {};
}
