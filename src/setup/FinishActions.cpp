#include "setup/FinishActions.h"

#include <windows.h>

#include "setup/SetupState.h"
#include "setup/SetupVariables.h"
#include "support/FileSystem.h"

void RunFinishActions(const SetupState& state, const FinishChoices& choices, int showCommand,
                      Prompter& prompter, ShellActions& shell) {
  if (!state.Installed)
    return;
  const std::wstring program = ExpandSetupVariables(state, state.RunFileName);
  const std::wstring programFolder = FolderOf(program);
  if (state.UseRun && choices.RunProgram)
    shell.Open(program, L"", programFolder, showCommand);
  if (state.UseGoSite && choices.OpenSite)
    shell.Open(state.SiteAddress, L"", programFolder, showCommand);
  if (state.UseReboot && state.AskToReboot && !state.RestartToFinish) {
    if (prompter.Ask(kRestartPromptId, kRestartQuestion, kRestartCaption,
                     MB_YESNO | MB_ICONQUESTION) == IDYES)
      shell.RequestRestart();
  } else if ((state.UseReboot || state.RestartToFinish) && choices.Restart) {
    shell.RequestRestart();
  }
}

int StartupShowCommand() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
}
