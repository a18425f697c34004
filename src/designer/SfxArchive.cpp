#include "designer/SfxArchive.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdint>

#include "formats/ScriptKeys.h"
#include "formats/SetupScriptWriter.h"
#include "support/ComScope.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/Handle.h"

std::vector<std::wstring> SfxListLines(const SetupProject& project,
                                       const std::wstring& buildFolder) {
  using namespace script;
  const std::wstring in = buildFolder + L"\\";
  std::vector<std::wstring> lines = {in + project.SetupFileName, in + kListedScriptFile,
                                     in + kPayloadFile};
  if (project.UseReadMe || project.UseLicense)
    lines.push_back(in + kPublishedTextsFile);
  if (project.UseUninstall)
    lines.push_back(in + kUninstallerImage);
  return lines;
}

std::vector<std::wstring> SfxCommentLines(const SetupProject& project) {
  return {L";Morvel Kovrin comments file for WinRAR", L"", L"Silent=3",
          L"Setup=" + project.SetupFileName,
          L"TempMode=\"Хотите установить " + project.ProgramName + L" ?\",\"" +
              project.CompanyName + L" " + project.ProgramName + L"\""};
}

std::wstring SfxCommandLine(const SetupProject& project, const BuildFolders& folders) {
  const unsigned method = static_cast<uint8_t>(project.CompressionLevel);
  return L"a -df -sfx -ep1 -iicon\"" + folders.DesignerFolder + L"\\" + kSfxIconFile + L"\" -m" +
         std::to_wstring(method) + L" -z\"" + folders.BuildFolder + L"\\" + kSfxCommentFile +
         L"\" \"" + project.OutputFolder + L"\\" + project.SetupFileName + L"\" @\"" +
         folders.BuildFolder + L"\\" + kSfxListFile + L"\"";
}

void CheckArchiverPath(const std::wstring& path) {
  if (path.empty())
    return;  // the shell finds WinRAR.exe through its registered path
  const bool drive = path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' &&
                     (path[2] == L'\\' || path[2] == L'/');
  if (!drive || GetDriveTypeW((path.substr(0, 2) + L"\\").c_str()) == DRIVE_REMOTE)
    throw KovrinError(L"Путь к WinRAR \"" + path +
                      L"\" должен быть полным путём на диске этого компьютера, не сетевым.");
  if (path.size() < 4 || _wcsicmp(path.c_str() + path.size() - 4, L".exe") != 0)
    throw KovrinError(L"Путь к WinRAR \"" + path + L"\" должен указывать на программу .exe.");
  if (!FileExists(path))
    throw KovrinError(L"Не найдена программа WinRAR: " + path);
}

std::wstring ArchiverProgram(const SetupProject& project) {
  return FileExists(project.WinRarPath) ? project.WinRarPath : std::wstring(kArchiverName);
}

namespace {
KernelHandle StartArchiver(const std::wstring& program, const std::wstring& parameters) {
  ComScope com;  // the shell may hand the start to COM objects
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = program.c_str();
  info.lpParameters = parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info))
    ThrowLastError(L"Не удалось запустить " + program);
  return KernelHandle(info.hProcess);
}

// Stops the archiver at the author's request and removes what it had written.
[[noreturn]] void AbandonArchiver(HANDLE process, const std::wstring& archive) {
  if (process) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 10000);
  }
  DeleteFileW(archive.c_str());
  throw OperationCancelled(kBuildCancelledText);
}

// Waits until the archiver has ended, letting messages run and sleeping in
// between; the end is then judged by whether the launcher was archived.
void WaitForArchiver(BuildContext& context, const KernelHandle& process,
                     const std::wstring& launcher, const std::wstring& archive) {
  const HANDLE handle = process.Get();
  for (;;) {
    context.Observer.Pump();
    if (context.Observer.Cancelled())
      AbandonArchiver(handle, archive);
    if (!handle) {
      // No process to watch (the shell started it some other way): the launcher's
      // removal is the only signal left.
      if (!FileExists(launcher))
        return;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      continue;
    }
    if (MsgWaitForMultipleObjects(1, &handle, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0)
      break;
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(handle, &exitCode);
  if (FileExists(launcher) || !FileExists(archive))
    throw KovrinError(L"WinRAR завершил работу с кодом " + std::to_wstring(exitCode) +
                      L", не создав архив \"" + archive + L"\".");
}
}  // namespace

void BuildSfxArchive(BuildContext& context) {
  const SetupProject& project = context.Project;
  context.Status(kArchiverStartText);
  context.Observer.ArchiverStarts();
  context.Checkpoint();
  CheckArchiverPath(project.WinRarPath);
  WriteWholeFile(context.InBuild(kSfxListFile),
                 PlainTextBytes(SfxListLines(project, context.Folders.BuildFolder)));
  WriteWholeFile(context.InBuild(kSfxCommentFile), PlainTextBytes(SfxCommentLines(project)));

  const KernelHandle process =
      StartArchiver(ArchiverProgram(project), SfxCommandLine(project, context.Folders));
  WaitForArchiver(context, process, context.InBuild(project.SetupFileName),
                  context.InOutput(project.SetupFileName));
}
