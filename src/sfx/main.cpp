// The self-extractor (ships as sfx.dat; the designer's packer puts it in front of
// every single-file installer). Finds the package at the end of its own image,
// unpacks it into a new folder under the user's temporary folder, starts the
// setup program there with the switches it was given, waits for it, returns its
// exit code and removes the folder, whatever happened.
//
// Exit codes of its own: 1 cancelled, 2 damaged file (or a setup program that
// cannot start), 3 cannot write (or no memory). With /S among the switches it
// shows no window and no message box; the reason goes to the console, if any.
#include <windows.h>

#include "sfx/CommandLine.h"
#include "sfx/FixedText.h"
#include "sfx/PackageImage.h"
#include "sfx/TempFolder.h"
#include "sfx/ui/ProgressWindow.h"
#include "support/DllSearch.h"
#include "support/Handle.h"

namespace {
constexpr int kExitCancelled = 1;
constexpr int kExitDamaged = 2;
constexpr int kExitCannotWrite = 3;

constexpr wchar_t kDamagedText[] = L"Установочный файл повреждён";

using MessageText = FixedText<4096>;

class NoWindow final : public ExtractObserver {
 public:
  void Progress(uint64_t, uint64_t) override {}
  bool Cancelled() override { return false; }
};

void AppendSystemText(MessageText& text, DWORD code) {
  wchar_t reason[512];
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, reason, 512, nullptr);
  while (length > 0 && (reason[length - 1] == L'\r' || reason[length - 1] == L'\n')) --length;
  if (length > 0) {
    text.Append(reason, length);
    return;
  }
  wchar_t digits[12];
  int count = 0;
  do digits[count++] = static_cast<wchar_t>(L'0' + code % 10);
  while ((code /= 10) != 0);
  text.Append(L"Код ошибки системы: ");
  while (count > 0) text.Append(digits[--count]);
}

// Message boxes, or in silent mode a line on the console (when there is one).
class Reporter {
 public:
  explicit Reporter(bool silent) : silent_(silent) {}

  int Show(const MessageText& text, int exitCode) const {
    if (!silent_) {
      MessageBoxW(nullptr, text.Get(), kExtractorCaption, MB_OK | MB_ICONERROR);
      return exitCode;
    }
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    FileHandle console;
    if (!error || error == INVALID_HANDLE_VALUE) {
      if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return exitCode;
      console.Reset(CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr));
      error = console.Get();
    }
    MessageText line(kExtractorCaption);
    line.Append(L": ");
    line.Append(text.Get());
    line.Append(L"\r\n");
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(error, &mode)) {
      WriteConsoleW(error, line.Get(), static_cast<DWORD>(line.Length()), &written, nullptr);
    } else {
      char bytes[3 * 4096];
      const int size = WideCharToMultiByte(CP_UTF8, 0, line.Get(), static_cast<int>(line.Length()),
                                           bytes, sizeof bytes, nullptr, nullptr);
      WriteFile(error, bytes, static_cast<DWORD>(size), &written, nullptr);
    }
    return exitCode;
  }

  int Failure(const ExtractFailure& failure, const wchar_t* folder) const {
    MessageText text;
    switch (failure.Status) {
      case ExtractStatus::Cancelled:
        return kExitCancelled;
      case ExtractStatus::NoMemory:
        text.Append(L"Недостаточно памяти для распаковки программы установки.");
        return Show(text, kExitCannotWrite);
      case ExtractStatus::CannotWrite:
        return CannotWrite(folder, failure.SystemCode);
      default:
        text.Append(kDamagedText);
        return Show(text, kExitDamaged);
    }
  }

  int CannotWrite(const wchar_t* folder, DWORD code) const {
    MessageText text(L"Не удалось распаковать программу установки во временную папку \"");
    text.Append(folder);
    text.Append(L"\".\r\n\r\n");
    AppendSystemText(text, code);
    return Show(text, kExitCannotWrite);
  }

  int CannotStart(DWORD code) const {
    MessageText text(L"Не удалось запустить программу установки.\r\n\r\n");
    AppendSystemText(text, code);
    return Show(text, kExitDamaged);
  }

 private:
  bool silent_;
};

// Starts the setup program with the switches this program was given and waits
// for it. Its working folder stays this program's own, so nothing it starts
// holds the temporary folder open. The unpacked files are let go once the
// system has opened the program: from then on the setup program reads them.
bool RunAndWait(const wchar_t* program, const wchar_t* arguments, HeldFiles& held,
                DWORD& exitCode) {
  FixedText<32768> commandLine(L"\"");
  if (!commandLine.Append(program) || !commandLine.Append(L"\" ") ||
      !commandLine.Append(arguments)) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(program, commandLine.Data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &process);
  const DWORD code = GetLastError();
  held.Close();
  if (!started) {
    SetLastError(code);
    return false;
  }
  KernelHandle processHandle(process.hProcess);
  KernelHandle threadHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  if (!GetExitCodeProcess(process.hProcess, &exitCode))
    exitCode = kExitDamaged;
  return true;
}

// The unpacked folder goes whatever way this program ends.
class FolderRemoval {
 public:
  explicit FolderRemoval(const wchar_t* folder) : folder_(folder) {}
  ~FolderRemoval() { RemoveFolderTree(folder_); }
  FolderRemoval(const FolderRemoval&) = delete;
  FolderRemoval& operator=(const FolderRemoval&) = delete;

 private:
  const wchar_t* folder_;
};

int Run(HINSTANCE instance) {
  const wchar_t* arguments = ArgumentsAfterProgramName(GetCommandLineW());
  const bool silent = HasSilentSwitch(arguments);
  const Reporter reporter(silent);

  PathText image;
  const DWORD length = GetModuleFileNameW(nullptr, image.Data(), static_cast<DWORD>(image.Size()));
  if (length == 0 || length >= image.Size())
    return reporter.CannotStart(length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE);
  image.Measure();

  PackageImage package;
  ExtractFailure failure;
  if (!package.Open(image.Get(), failure))
    return reporter.Failure(failure, nullptr);

  PathText folder;
  const DWORD created = CreateUniqueTempFolder(folder);
  if (created != ERROR_SUCCESS)
    return reporter.CannotWrite(folder.Get(), created);
  FolderRemoval removal(folder.Get());

  bool extracted = false;
  HeldFiles held;
  {
    ProgressWindow window;
    NoWindow noWindow;
    ExtractObserver& observer =
        !silent && window.Create(instance) ? static_cast<ExtractObserver&>(window) : noWindow;
    extracted = package.ExtractTo(folder.Get(), observer, failure, held);
  }
  if (!extracted) {
    held.Close();
    RemoveFolderTree(folder.Get());  // before the message, so nothing stays while it is shown
    return reporter.Failure(failure, folder.Get());
  }

  PathText program(folder.Get());
  if (!program.Append(L'\\') ||
      !program.Append(package.Header().Files[package.Header().LauncherIndex].Name))
    return reporter.CannotStart(ERROR_FILENAME_EXCED_RANGE);
  DWORD exitCode = 0;
  if (!RunAndWait(program.Get(), arguments, held, exitCode)) {
    const DWORD code = GetLastError();
    RemoveFolderTree(folder.Get());
    return reporter.CannotStart(code);
  }
  return static_cast<int>(exitCode);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  RestrictDllSearchToSystem32();  // before anything can load a DLL
  return Run(instance);
}
