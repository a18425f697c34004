#pragma once
// RunInstall with its failure told to the state's observer (the install log)
// before the exception goes on to the caller, which reports it as before.

#include "setup/InstallEngine.h"

void RunObservedInstall(SetupState& state, const InstallChoices& choices, InstallView& view);
