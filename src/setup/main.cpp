// The setup program (shipped as Kovrin.dat, copied into each package under the
// author's setup name): installs the package that lies beside it. Started
// without arguments it shows its wizard; /S installs without any window, /D=
// names the install folder and /LOG= keeps a log (setup/CommandLine.h).

#include <windows.h>

#include <commctrl.h>

#include "setup/CommandLine.h"
#include "setup/ExitCodes.h"
#include "setup/FinishActions.h"
#include "setup/InstallLog.h"
#include "setup/LogTarget.h"
#include "setup/ScriptLoading.h"
#include "setup/SilentInstall.h"
#include "setup/ui/setup01.h"
#include "support/ComScope.h"
#include "support/ConsoleOutput.h"
#include "support/DllSearch.h"
#include "support/Environment.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/QRegistry.h"
#include "support/ShellActions.h"
#include "win/Application.h"
#include "win/Dialogs.h"
#include "win/Layout.h"
#include "win/MessagePump.h"

namespace {
// What the command line asked for, for the program's body (RunProgram takes a
// plain function).
struct Invocation {
  SetupCommandLine line;
  InstallLog log;
};
Invocation* g_invocation = nullptr;  // set for a run with a window
Invocation* g_running = nullptr;     // set once the command line is read

// The program is built without exceptions: an error nothing can recover from
// (memory exhausted, a window the system would not create) ends it where it
// arose. It is logged, and shown as the error box of a run with a window.
void ReportProgramEnd(const wchar_t* message) {
  if (g_running)
    g_running->log.Result(kExitCannotWrite, message);
  if (g_running && g_running->line.Silent)
    WriteToErrorStream(message);
  else
    ReportError(L"program.error", message);
}

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
  InstallLog* log = g_invocation ? &g_invocation->log : nullptr;
  const bool allowDowngrade = g_invocation && g_invocation->line.AllowDowngrade;
  TForm1 form(ProgramFolder(),
              SetupServices{dialogs, shell, drives, showCommand, true, log, allowDowngrade});
  form.Create();
  if (g_invocation && g_invocation->line.HasInstallFolder)
    SetText(form.Frame41.Edit1, g_invocation->line.InstallFolder);  // the free-space line follows
  if (g_invocation && g_invocation->line.RebootOk)
    form.ReplaceInUseAtRestart();
  if (log)
    log->Package(form.State());
  ShowWindow(form.Handle(), showCommand);
  UpdateWindow(form.Handle());

  RunMessageLoop(form);
  if (!log)
    return 0;
  // Started with switches, the caller learns whether the user installed.
  if (form.State().Installed) {
    const int code = InstalledExitCode(form.State().RestartToFinish);
    log->Result(code);
    return code;
  }
  const int code = log->FailureCode() ? log->FailureCode() : kExitCancelled;
  log->Result(code, L"окно закрыто, установка не завершена");
  return code;
}

// /S: the same start-up without a window, then the engine with a silent view.
int RunSilent(Invocation& invocation) {
  ComScope com;
  RegistryScope registry;
  InitPathVariables();
  const SilentOutcome outcome = RunSilentInstall(ProgramFolder(), invocation.line, invocation.log);
  invocation.log.Result(outcome.ExitCode, outcome.Reason);
  if (outcome.ExitCode != kExitInstalled && outcome.ExitCode != kExitRestartToFinish)
    WriteToErrorStream(L"Установка не выполнена (код " + std::to_wstring(outcome.ExitCode) + L", " +
                       ExitCodeMeaning(outcome.ExitCode) + L"): " + outcome.Reason);
  return outcome.ExitCode;
}

int RefuseCommandLine(Invocation& invocation, const std::wstring& problem) {
  invocation.log.Result(kExitBadCommandLine, problem);
  const std::wstring text = problem + L"\r\n\r\n" + kSetupSwitchList;
  WriteToErrorStream(text);
  if (!invocation.line.Silent)
    MessageBoxW(nullptr, text.c_str(), kSetupWindowCaption, MB_OK | MB_ICONERROR);
  return kExitBadCommandLine;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictDllSearchToSystem32();  // before anything can load a DLL
  SetProgramEnd(ReportProgramEnd, kExitCannotWrite);
  const std::wstring commandLine = GetCommandLineW();
  Invocation invocation{ParseSetupArguments(ArgumentsOf(commandLine)), {}};
  g_running = &invocation;
  if (invocation.line.Empty())
    return RunProgram(RunSetup);  // no switches: the program as it always was

  std::wstring problem = invocation.line.Problem;
  // A log that would empty a package file or write through a link is never opened.
  const std::wstring logProblem =
      invocation.line.HasLog && !invocation.line.LogPath.empty()
          ? LogTargetProblem(invocation.line.LogPath, ProgramFolder(), ProgramPath())
          : std::wstring();
  if (problem.empty())
    problem = logProblem;
  if (invocation.line.HasLog && !invocation.line.LogPath.empty() && logProblem.empty()) {
    std::wstring failure;
    if (std::optional<LogFile> created = LogFile::Create(invocation.line.LogPath, failure))
      invocation.log = InstallLog(std::move(*created));
    else if (problem.empty())
      problem = L"Не удалось создать файл журнала: " + failure;
  }
  invocation.log.Start(ProgramPath(), commandLine);
  if (!problem.empty())
    return RefuseCommandLine(invocation, problem);
  if (invocation.line.Silent)
    return RunSilent(invocation);
  g_invocation = &invocation;
  return RunProgram(RunSetup);
}
