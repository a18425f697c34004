#include <windows.h>

#include <commctrl.h>

#include "designer/Product.h"
#include "designer/ui/application_window.h"
#include "designer/ui/create_main.h"
#include "designer/ui/program_start.h"
#include "support/ComScope.h"
#include "support/Environment.h"
#include "support/FileSystem.h"
#include "support/QRegistry.h"
#include "win/Application.h"
#include "win/Dialogs.h"
#include "win/MessagePump.h"

namespace {
int RunDesigner() {
  SetApplicationTitle(kApplicationTitle);
  SystemDialogs dialogs;
  if (!NoOtherInstance(dialogs, FindWindowW(nullptr, kApplicationTitle)) ||
      !ScreenAccepted(dialogs, GetSystemMetrics(SM_CXSCREEN)))
    return 0;

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  ComScope com;  // the shell's folder browser needs it
  RegistryScope registry;
  InitPathVariables();

  TApplicationWindow application;
  application.Create();
  SetApplicationWindow(application.Handle());

  SystemShellActions shell;
  TForm1 main(dialogs, shell, ProgramFolder());
  main.Create(application.Handle());
  application.SetMainWindow(main.Handle());
  ShowWindow(main.Handle(), SW_SHOWNORMAL);
  UpdateWindow(main.Handle());

  RunMessageLoop(main);
  SetApplicationWindow(nullptr);
  return 0;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return RunProgram(RunDesigner);
}
