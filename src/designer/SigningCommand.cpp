#include "designer/SigningCommand.h"

#include "designer/BuildRun.h"
#include "support/Environment.h"
#include "support/Error.h"
#include "support/Handle.h"

namespace {
std::wstring CommandInterpreter() {
  const std::wstring comSpec = GetEnvVar(L"ComSpec");
  if (!comSpec.empty())
    return comSpec;
  wchar_t system[MAX_PATH + 1];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH + 1);
  return std::wstring(system, length <= MAX_PATH ? length : 0) + L"\\cmd.exe";
}

void ReplaceAll(std::wstring& text, const std::wstring& what, const std::wstring& with) {
  for (size_t at = text.find(what); at != std::wstring::npos;
       at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
}

// Console programs write in the OEM code page.
void AppendOutput(std::wstring& output, const char* bytes, DWORD size) {
  const int length = MultiByteToWideChar(CP_OEMCP, 0, bytes, static_cast<int>(size), nullptr, 0);
  if (length <= 0)
    return;
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_OEMCP, 0, bytes, static_cast<int>(size), text.data(), length);
  output += text;
  if (output.size() > 2 * kKeptOutput)
    output.erase(0, output.size() - kKeptOutput);
}

// Takes what the pipe holds now without waiting: a program that the command
// left running may keep its end open long after the command has ended.
void DrainPipe(HANDLE pipe, std::wstring& output) {
  char buffer[4096];
  DWORD available = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    DWORD read = 0;
    if (!ReadFile(pipe, buffer, sizeof buffer < available ? sizeof buffer : available, &read,
                  nullptr) ||
        read == 0)
      return;
    AppendOutput(output, buffer, read);
  }
}
}  // namespace

std::wstring SigningCommandLine(const std::wstring& command, const std::wstring& path) {
  std::wstring line = command;
  const std::wstring quoted = L"\"" + path + L"\"";
  ReplaceAll(line, L"\"" + std::wstring(kSignedFilePlaceholder) + L"\"", quoted);
  ReplaceAll(line, kSignedFilePlaceholder, quoted);
  return line;
}

CommandRun RunSigningCommand(const std::wstring& commandLine, ProgressSink& progress) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  KernelHandle readEnd;
  KernelHandle writeEnd;
  if (!CreatePipe(readEnd.Put(), writeEnd.Put(), &inherit, 0))
    ThrowLastError(L"Не удалось запустить команду подписи");
  SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
  FileHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr));

  // A job takes down whatever the command started when the author cancels; a
  // signer it leaves running otherwise may still be finishing its work.
  const KernelHandle job(CreateJobObjectW(nullptr, nullptr));

  const std::wstring program = CommandInterpreter();
  std::wstring line = L"\"" + program + L"\" /d /s /c \"" + commandLine + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.Get();
  startup.hStdOutput = writeEnd.Get();
  startup.hStdError = writeEnd.Get();
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                      CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &started))
    ThrowLastError(L"Не удалось запустить команду подписи через " + program);
  const KernelHandle process(started.hProcess);
  const KernelHandle thread(started.hThread);
  if (job)
    AssignProcessToJobObject(job.Get(), process.Get());
  ResumeThread(thread.Get());
  writeEnd.Reset();  // the pipe breaks once the command's own copies are gone

  CommandRun run;
  const HANDLE handle = process.Get();
  for (;;) {
    DrainPipe(readEnd.Get(), run.Output);
    progress.Pump();
    if (progress.Cancelled()) {
      if (job)
        TerminateJobObject(job.Get(), 1);
      TerminateProcess(handle, 1);
      throw OperationCancelled(kBuildCancelledText);
    }
    if (MsgWaitForMultipleObjects(1, &handle, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0)
      break;
  }
  DrainPipe(readEnd.Get(), run.Output);
  GetExitCodeProcess(handle, &run.ExitCode);
  if (run.Output.size() > kKeptOutput)
    run.Output.erase(0, run.Output.size() - kKeptOutput);
  return run;
}
