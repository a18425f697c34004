#include "setup/ObservedInstall.h"

#include "setup/ExitCodes.h"
#include "setup/InstallObserver.h"
#include "setup/SetupState.h"
#include "support/Error.h"

void RunObservedInstall(SetupState& state, const InstallChoices& choices, InstallView& view) {
  try {
    RunInstall(state, choices, view);
  } catch (...) {
    if (state.Observer)
      state.Observer->InstallFailed(CurrentExceptionMessage(), InstallExitCode());
    throw;
  }
}
