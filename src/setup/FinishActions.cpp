#include "setup/FinishActions.h"

#include "setup/SetupState.h"
#include "setup/SetupVariables.h"
#include "support/FileSystem.h"

void RunFinishActions(const SetupState& state, const FinishChoices& choices, int showCommand,
                      SetupQuestions& questions, SetupShell& shell) {
  if (!state.Installed)
    return;
  const std::wstring program = ExpandSetupVariables(state, state.RunFileName);
  const std::wstring programFolder = FolderOf(program);
  if (state.UseRun && choices.RunProgram)
    shell.Open(program, programFolder, showCommand);
  if (state.UseGoSite && choices.OpenSite)
    shell.Open(state.SiteAddress, programFolder, showCommand);
  if (state.UseReboot && state.AskToReboot) {
    if (questions.AskYesNo(kRestartCaption, kRestartQuestion))
      shell.RequestRestart();
  } else if (state.UseReboot && choices.Restart) {
    shell.RequestRestart();
  }
}
