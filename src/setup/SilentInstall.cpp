#include "setup/SilentInstall.h"

#include "formats/PackageError.h"
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
#include "support/FileSystem.h"

namespace {
// What the engine would refuse in the package only after it has looked at the
// install folder, found before anything is written: a missing data.dat, and
// rows that do not check out. The rows are read here, once, for the folder the
// install will use, and the engine takes them as read.
Status CheckPackage(SetupState& state, const std::wstring& installFolder) {
  const std::wstring payload = state.PackageFolder + script::kPayloadFile;
  const int64_t size = GetFileSize64(payload);
  if (size < 0)
    return PackageFailure(L"В пакете нет файла «" + payload + L"».");
  state.InstallPath = installFolder;  // what %InstallPath% in the shortcut rows means
  NullProgress progress;
  if (Status read = LoadInstallLists(state, progress); !read)
    return read;
  return CheckFileRows(state, size);
}

SilentOutcome BadPackage(const Failure& failure) {
  return {kExitBadPackage, failure.Message()};
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
  if (Status read = ReadSetupScript(state); !read)
    return BadPackage(read.Error());
  if (Status extracted = ExtractTexts(state); !extracted)  // checks the texts as the window would
    return BadPackage(extracted.Error());
  log.Package(state);
  InstallChoices choices;
  choices.AllowDowngrade = line.AllowDowngrade;
  const Expected<std::optional<InstalledProduct>> installed =
      CheckUpgrade(state, line.AllowDowngrade);
  if (!installed)
    return {InstallExitCode(installed.Error()), installed.Error().Message()};
  // An upgrade stays in the installed folder unless /D= names another.
  if (line.HasInstallFolder)
    choices.InstallPathText = line.InstallFolder;
  else if (*installed)
    choices.InstallPathText = (*installed)->InstallLocation;
  else
    choices.InstallPathText = ExpandSetupVariables(state, state.InstallPath);
  choices.DesktopShortcuts = choices.StartMenuShortcuts = choices.StartupShortcuts = true;
  choices.ReplaceInUseAtRestart = line.RebootOk;
  if (Status checked = CheckPackage(state, choices.InstallPathText); !checked)
    return BadPackage(checked.Error());
  log.InstallFolder(choices.InstallPathText);

  if (Status done = RunInstall(state, choices, log); !done)
    return {InstallExitCode(done.Error()), done.Error().Message()};
  return {InstalledExitCode(state.RestartToFinish), {}};
}
