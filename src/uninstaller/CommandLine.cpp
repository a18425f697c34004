#include "uninstaller/CommandLine.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "formats/UninstallEntry.h"
#include "support/Strings.h"

UninstallerCommandLine ParseUninstallerCommandLine(const wchar_t* commandLine) {
  UninstallerCommandLine line;
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(commandLine, &count);
  if (!arguments)
    return line;
  // Argument 0 is the program; an unquoted Windows folder with blanks splits it
  // into several, which the two-from-the-end rule leaves aside.
  std::vector<std::wstring> plain;
  for (int i = 0; i < count; ++i) {
    const std::wstring argument = arguments[i];
    if (i > 0 && EqualNoCase(argument, uninstall::kSilentSwitch))
      line.Silent = true;
    else if (i > 0 && StartsWithNoCase(argument, uninstall::kLogSwitch))
      line.LogPath = argument.substr(std::wstring(uninstall::kLogSwitch).size());
    else
      plain.push_back(argument);
  }
  LocalFree(arguments);
  if (plain.size() >= 3) {
    line.Command.ScriptPath = plain[plain.size() - 2];
    line.Command.ProgramName = plain.back();
    line.Ok = true;
  }
  return line;
}
