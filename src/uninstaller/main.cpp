// The uninstaller, shipped as uninst.dat and installed as MVUninst.exe. Started
// from the list of installed programs with the path of Uninst.ini and the program
// name; asks, removes, and says what it could not remove.
#include <windows.h>

#include "support/FileSystem.h"
#include "uninstaller/UninstallEngine.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  UninstallCommand command;
  if (!ParseUninstallCommand(GetCommandLineW(), command)) {
    MessageBoxW(nullptr, kBadCommandLine, kUninstallCaption, MB_OK | MB_ICONERROR);
    return 2;
  }
  if (MessageBoxW(nullptr, UninstallQuestion(command.ProgramName).c_str(), kUninstallCaption,
                  MB_YESNO | MB_ICONQUESTION) != IDYES)
    return 1;
  const UninstallResult result = RemoveInstallation(command, ProgramPath());
  const bool complete = UninstallComplete(result);
  MessageBoxW(
      nullptr, UninstallReport(command.ProgramName, result).c_str(), kUninstallCaption,
      MB_OK | (complete && result.FoldersKept.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
  return complete ? 0 : 3;
}
