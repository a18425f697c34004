#include "setup/SilentInstall.h"

#include "formats/ScriptKeys.h"
#include "formats/SetupScriptReader.h"
#include "setup/ExitCodes.h"
#include "setup/InstallLog.h"
#include "setup/ObservedInstall.h"
#include "setup/ScriptLoading.h"
#include "setup/SetupState.h"
#include "setup/SetupVariables.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/ProfileFile.h"

namespace {
// What the window would find wrong with the package only once the install runs,
// found before anything is written.
std::wstring PackageProblem(const SetupState& state) {
  const std::wstring payload = state.PackageFolder + script::kPayloadFile;
  const int64_t size = GetFileSize64(payload);
  if (size < 0)
    return L"В пакете нет файла «" + payload + L"».";
  const ProfileFile setupScript = ProfileFile::Load(state.PackageFolder + script::kScriptFile);
  int64_t described = 0;
  for (int32_t n = 1; n <= state.CountOfFiles; ++n) {
    const int64_t fileSize = ReadFileRow(setupScript, n).FileSize;
    described += fileSize > 0 ? fileSize : 0;
  }
  if (size < described)
    return L"Файл «" + payload + L"» короче, чем описано в сценарии установки (" +
           std::to_wstring(size) + L" байт вместо " + std::to_wstring(described) +
           L"): пакет повреждён.";
  return {};
}
}  // namespace

SilentOutcome RunSilentInstall(const std::wstring& packageFolder, const SetupCommandLine& line,
                               InstallLog& log) {
  SetupState state;
  state.PackageFolder = packageFolder;
  state.Observer = &log;

  const std::wstring scriptPath = packageFolder + script::kScriptFile;
  if (!FileExists(scriptPath))
    return {kExitBadPackage, L"Нет сценария установки «" + scriptPath + L"»."};
  try {
    ReadSetupScript(state);
    ExtractTexts(state);  // checks the texts as the window would
  } catch (...) {
    return {kExitBadPackage, CurrentExceptionMessage()};
  }
  log.Package(state);
  try {
    if (const std::wstring problem = PackageProblem(state); !problem.empty())
      return {kExitBadPackage, problem};
  } catch (...) {
    return {kExitBadPackage, CurrentExceptionMessage()};
  }

  InstallChoices choices;
  choices.InstallPathText =
      line.HasInstallFolder ? line.InstallFolder : ExpandSetupVariables(state, state.InstallPath);
  choices.DesktopShortcuts = choices.StartMenuShortcuts = choices.StartupShortcuts = true;
  log.InstallFolder(choices.InstallPathText);

  SilentView view;
  try {
    RunObservedInstall(state, choices, view);
  } catch (...) {
    return {InstallExitCode(), CurrentExceptionMessage()};
  }
  return {kExitInstalled, {}};
}
