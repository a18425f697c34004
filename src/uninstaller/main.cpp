// The uninstaller, shipped as uninst.dat and installed as MVUninst.exe. Started
// from the list of installed programs with the path of Uninst.ini and the program
// name; asks, removes, and says what it could not remove. With /S it neither asks
// nor tells; /LOG=<file> keeps a log (uninstaller/CommandLine.h).
#include <windows.h>

#include <optional>
#include <utility>

#include "support/ConsoleOutput.h"
#include "support/DllSearch.h"
#include "support/Environment.h"
#include "support/FileSystem.h"
#include "support/LogFile.h"
#include "support/ProgramEnd.h"
#include "support/QRegistry.h"
#include "uninstaller/CommandLine.h"
#include "uninstaller/UninstallEngine.h"
#include "uninstaller/UninstallLog.h"
#include "uninstaller/UninstallMessages.h"

namespace {
// What a failure that ends the program reports through: set once the command
// line is read (the log, whether to show a box).
const UninstallerCommandLine* g_line = nullptr;
LogFile* g_log = nullptr;

int Refuse(const UninstallerCommandLine& line, LogFile& log, const std::wstring& problem) {
  log.Line(L"Итог: код " + std::to_wstring(kUninstallBadCommandLine) + L", " + problem);
  WriteToErrorStream(problem);
  if (!line.Silent)
    MessageBoxW(nullptr, problem.c_str(), kUninstallCaption, MB_OK | MB_ICONERROR);
  return kUninstallBadCommandLine;
}

int Run(const UninstallerCommandLine& line, LogFile& log) {
  if (!line.Silent && MessageBoxW(nullptr, UninstallQuestion(line.Command.ProgramName).c_str(),
                                  kUninstallCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    log.Line(L"Итог: код " + std::to_wstring(kUninstallDeclined) + L", удаление отменено");
    return kUninstallDeclined;
  }
  // The folders where an install older than its entry's LinkFolders made links.
  // Without a Windows folder to expand them against, such an install's links
  // stay, as any other link would.
  RegistryScope registry;
  TryInitPathVariables();
  log.Line(L"Сценарий удаления: " + line.Command.ScriptPath + L"; программа: " +
           line.Command.ProgramName);
  const UninstallResult result = RemoveInstallation(line.Command, ProgramPath(), line.RebootOk);
  LogUninstallResult(log, result);
  const int code = UninstallExitCode(result);
  const std::wstring report = UninstallReport(line.Command.ProgramName, result);
  if (line.Silent) {
    if (code == kUninstallSomethingKept)
      WriteToErrorStream(report);
  } else {
    MessageBoxW(
        nullptr, report.c_str(), kUninstallCaption,
        MB_OK | (code == kUninstallComplete && result.FoldersKept.empty() ? MB_ICONINFORMATION
                                                                          : MB_ICONWARNING));
  }
  return code;
}

// Whatever the record holds (unreadable, huge, malformed), the program ends
// with a reason and a code of its own, never in std::terminate. The program is
// built without exceptions: such an error ends it here, from where it arose.
void ReportFailure(const wchar_t* message) {
  if (!g_line) {
    WriteToErrorStream(message);  // before the command line was even read
    return;
  }
  const std::wstring problem =
      L"Не удалось прочитать запись об установке: " + std::wstring(message);
  g_log->Line(L"Итог: код " + std::to_wstring(kUninstallUnreadableRecord) + L", " + problem);
  WriteToErrorStream(problem);
  if (!g_line->Silent)
    MessageBoxW(nullptr, problem.c_str(), kUninstallCaption, MB_OK | MB_ICONERROR);
}

int Main() {
  const std::wstring commandLine = GetCommandLineW();
  const UninstallerCommandLine line = ParseUninstallerCommandLine(commandLine.c_str());
  LogFile log;
  std::wstring problem = line.Ok ? L"" : kBadCommandLine;
  if (!line.LogPath.empty()) {
    std::wstring failure;
    if (std::optional<LogFile> created = LogFile::Create(line.LogPath, failure))
      log = std::move(*created);
    else if (problem.empty())
      problem = L"Не удалось создать файл журнала: " + failure;
  }
  g_line = &line;
  g_log = &log;
  log.Line(L"Начало: программа удаления Kovrin, " + ProgramPath());
  log.Line(L"Командная строка: " + commandLine);
  if (!problem.empty())
    return Refuse(line, log, problem);
  return Run(line, log);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictDllSearchToSystem32();  // before anything can load a DLL
  SetProgramEnd(ReportFailure, kUninstallUnreadableRecord);
  return Main();
}
