#include "setup/SilentInstall.h"

#include "formats/ScriptKeys.h"
#include "setup/ExitCodes.h"
#include "setup/InstallEngine.h"
#include "setup/InstallLists.h"
#include "setup/InstallLog.h"
#include "setup/PackageChecks.h"
#include "setup/ScriptLoading.h"
#include "setup/SetupState.h"
#include "setup/SetupVariables.h"
#include "setup/UpgradeCheck.h"
#include "support/Error.h"
#include "support/FileSystem.h"

namespace {
// What the engine would refuse in the package only after it has looked at the
// install folder, found before anything is written: a missing data.dat, and
// rows that do not check out. The rows are read here, once, for the folder the
// install will use, and the engine takes them as read.
std::wstring PackageProblem(SetupState& state, const std::wstring& installFolder) {
  const std::wstring payload = state.PackageFolder + script::kPayloadFile;
  const int64_t size = GetFileSize64(payload);
  if (size < 0)
    return L"В пакете нет файла «" + payload + L"».";
  state.InstallPath = installFolder;  // what %InstallPath% in the shortcut rows means
  NullProgress progress;
  LoadInstallLists(state, progress);
  CheckFileRows(state, size);
  return {};
}
}  // namespace

SilentOutcome RunSilentInstall(const std::wstring& packageFolder, const SetupCommandLine& line,
                               InstallLog& log, const std::wstring& windowsFolder) {
  SetupState state;
  state.PackageFolder = packageFolder;
  state.WindowsFolder = windowsFolder;

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
  InstallChoices choices;
  choices.AllowDowngrade = line.AllowDowngrade;
  std::optional<InstalledProduct> installed;
  try {
    installed = CheckUpgrade(state, line.AllowDowngrade);
  } catch (...) {
    return {InstallExitCode(), CurrentExceptionMessage()};
  }
  // An upgrade stays in the installed folder unless /D= names another.
  if (line.HasInstallFolder)
    choices.InstallPathText = line.InstallFolder;
  else if (installed)
    choices.InstallPathText = installed->InstallLocation;
  else
    choices.InstallPathText = ExpandSetupVariables(state, state.InstallPath);
  choices.DesktopShortcuts = choices.StartMenuShortcuts = choices.StartupShortcuts = true;
  choices.ReplaceInUseAtRestart = line.RebootOk;
  try {
    if (const std::wstring problem = PackageProblem(state, choices.InstallPathText);
        !problem.empty())
      return {kExitBadPackage, problem};
  } catch (...) {
    return {kExitBadPackage, CurrentExceptionMessage()};
  }
  log.InstallFolder(choices.InstallPathText);

  try {
    RunInstall(state, choices, log);
  } catch (...) {
    return {InstallExitCode(), CurrentExceptionMessage()};
  }
  return {InstalledExitCode(state.RestartToFinish), {}};
}
