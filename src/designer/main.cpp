#include <windows.h>

#include <commctrl.h>

#include "designer/CommandLineBuild.h"
#include "designer/Product.h"
#include "designer/ui/application_window.h"
#include "designer/ui/create_main.h"
#include "designer/ui/program_start.h"
#include "support/ComScope.h"
#include "support/DllSearch.h"
#include "support/Environment.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/ParentConsole.h"
#include "support/QRegistry.h"
#include "win/Application.h"
#include "win/Dialogs.h"
#include "win/MessagePump.h"

namespace {
// What the command line asked for; RunDesigner reads the project to open.
StartCommand g_start;

// The command-line build's lines on the console the designer was started from.
class ParentConsoleWriter final : public ConsoleWriter {
 public:
  void Out(const std::wstring& line) override { console_.Out(line); }
  void Error(const std::wstring& line) override { console_.Error(line); }

 private:
  ParentConsole console_;
};

// No window and no message box: whatever happens ends as a line and an exit code.
int BuildFromCommandLine() {
  ParentConsoleWriter console;
  try {
    return RunCommandLineBuild(g_start, ProgramFolder(), console);
  } catch (...) {
    console.Error(L"Сборка прервана: " + CurrentExceptionMessage());
    return kExitBuildFailed;
  }
}

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
  // A project named as the only argument (a double-click on a .kovrin file).
  if (g_start.Mode == StartMode::OpenProject)
    main.OpenProject(g_start.ProjectPath);

  RunMessageLoop(main, main.Accelerators());
  SetApplicationWindow(nullptr);
  return 0;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictDllSearchToSystem32();  // before anything can load a DLL
  g_start = ParseStartCommand(CommandLineArguments(GetCommandLineW()));
  // The build takes no notice of a running designer and shows nothing.
  if (g_start.Mode == StartMode::Build)
    return BuildFromCommandLine();
  return RunProgram(RunDesigner);
}
