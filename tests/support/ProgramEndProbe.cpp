// A program built as the uninstaller is, without exceptions: it fails in the
// way its first argument names and reports through its program end, which
// appends each message it sees to the file its second argument names.
#include <windows.h>

#include <string>

#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/Handle.h"
#include "support/ProgramEnd.h"

namespace {
constexpr int kEndCode = 7;
const wchar_t* g_reportPath = L"";

void AppendLine(const wchar_t* text) {
  const FileHandle file(CreateFileW(g_reportPath, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::wstring line = std::wstring(text) + L"\n";
  DWORD written = 0;
  WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written,
            nullptr);
}

void Report(const wchar_t* message) {
  AppendLine(message);
  if (std::wstring(message) == L"twice")
    Raise(KovrinError(L"raised by the report"));  // must end at once, unreported
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3)
    return 1;
  g_reportPath = argv[2];
  SetProgramEnd(Report, kEndCode);
  const std::wstring how = argv[1];
  if (how == L"raise" || how == L"twice")
    Raise(KovrinError(how));
  if (how == L"read")
    ReadWholeFile(L"C:\\kovrin-no-such-folder\\no-such-file.ini");
  if (how == L"memory")
    static_cast<void>(::operator new(SIZE_MAX / 2));
  if (how == L"length") {
    std::wstring text;
    text.reserve(text.max_size() + 1);
  }
  return 0;  // nothing failed
}
