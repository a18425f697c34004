// The setup program (shipped as Kovrin.dat, copied into each package under the
// author's setup name): installs the package that lies beside it. No command line.

#include <windows.h>

#include <commctrl.h>

#include "setup/FinishActions.h"
#include "setup/ScriptLoading.h"
#include "setup/ui/setup01.h"
#include "support/ComScope.h"
#include "support/Environment.h"
#include "support/FileSystem.h"
#include "support/QRegistry.h"
#include "support/ShellActions.h"
#include "win/Application.h"
#include "win/Dialogs.h"
#include "win/MessagePump.h"

namespace {
int RunSetup() {
  ComScope com;  // the shell's links and folder browser need COM on this thread
  RegistryScope registry;
  InitPathVariables();
  SetApplicationTitle(kSetupWindowCaption);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                     ICC_PROGRESS_CLASS | ICC_ANIMATE_CLASS};
  InitCommonControlsEx(&controls);

  SystemDialogs dialogs;
  SystemShellActions shell;
  SystemDriveProbe drives;
  const int showCommand = StartupShowCommand();
  TForm1 form(ProgramFolder(), SetupServices{dialogs, shell, drives, showCommand, true});
  form.Create();
  ShowWindow(form.Handle(), showCommand);
  UpdateWindow(form.Handle());

  RunMessageLoop(form);
  return 0;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return RunProgram(RunSetup);
}
