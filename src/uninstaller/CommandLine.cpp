#include "uninstaller/CommandLine.h"

#include <vector>

#include "formats/UninstallEntry.h"
#include "support/CommandLineWords.h"
#include "support/Strings.h"

UninstallerCommandLine ParseUninstallerCommandLine(const wchar_t* commandLine) {
  UninstallerCommandLine line;
  const std::vector<std::wstring> arguments = SplitCommandLine(commandLine);
  // Argument 0 is the program; an unquoted Windows folder with blanks splits it
  // into several, which the two-from-the-end rule leaves aside.
  std::vector<std::wstring> plain;
  bool emptyLog = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    if (i > 0 && EqualNoCase(argument, uninstall::kSilentSwitch))
      line.Silent = true;
    else if (i > 0 && EqualNoCase(argument, L"/REBOOTOK"))
      line.RebootOk = true;
    else if (i > 0 && StartsWithNoCase(argument, uninstall::kLogSwitch)) {
      line.LogPath = argument.substr(std::wstring(uninstall::kLogSwitch).size());
      emptyLog = line.LogPath.empty();
    } else
      plain.push_back(argument);
  }
  if (plain.size() >= 3 && !emptyLog) {
    line.Command.ScriptPath = plain[plain.size() - 2];
    line.Command.ProgramName = plain.back();
    line.Ok = true;
  }
  return line;
}
