#include "support/ParentConsole.h"

#include "support/CodePage.h"

namespace {
bool Usable(HANDLE handle) {
  return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != FALSE;
}
}  // namespace

ParentConsole::ParentConsole() {
  Open(out_, STD_OUTPUT_HANDLE);
  Open(error_, STD_ERROR_HANDLE);
}

ParentConsole::~ParentConsole() {
  out_.owned.Reset();
  error_.owned.Reset();
  if (attached_)
    FreeConsole();
}

void ParentConsole::Open(Stream& stream, DWORD standard) {
  HANDLE inherited = GetStdHandle(standard);
  if (Usable(inherited)) {
    stream.handle = inherited;
    stream.console = IsConsole(inherited);
    return;
  }
  // A GUI program gets no standard handles from a console that starts it: borrow
  // that console and write to its screen.
  if (!attached_)
    attached_ = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
  if (!attached_)
    return;
  stream.owned.Reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
  if (stream.owned) {
    stream.handle = stream.owned.Get();
    stream.console = true;
  }
}

void ParentConsole::Write(const Stream& stream, const std::wstring& line) {
  if (!stream.handle)
    return;
  const std::wstring text = line + L"\r\n";
  if (stream.console) {
    DWORD written = 0;
    WriteConsoleW(stream.handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const std::string bytes = ToUtf8(text);
  DWORD written = 0;
  WriteFile(stream.handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
