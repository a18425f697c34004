#include "support/ConsoleOutput.h"

#include <windows.h>

#include "support/CodePage.h"
#include "support/Handle.h"

namespace {
void WriteTo(HANDLE stream, const std::wstring& text) {
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(stream, &mode)) {
    WriteConsoleW(stream, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
  } else {
    const std::string bytes = ToUtf8(text);
    WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
}
}  // namespace

void WriteToErrorStream(const std::wstring& text) {
  const std::wstring line = text + L"\r\n";
  // A program of the windows subsystem has an error stream only when its parent
  // handed one down; else it borrows the parent's console, if there is one.
  HANDLE stream = GetStdHandle(STD_ERROR_HANDLE);
  if (stream && stream != INVALID_HANDLE_VALUE) {
    WriteTo(stream, line);
    return;
  }
  if (!AttachConsole(ATTACH_PARENT_PROCESS))
    return;
  {
    const FileHandle console(CreateFileW(L"CONOUT$", GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         0, nullptr));
    if (console)
      WriteTo(console.Get(), line);
  }
  FreeConsole();
}
