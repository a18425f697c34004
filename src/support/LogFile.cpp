#include "support/LogFile.h"

#include <cstdio>

#include "support/CodePage.h"
#include "support/Error.h"

namespace {
HANDLE CreateLogFile(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}
}  // namespace

// Two forms rather than one built on the other: a program that uses only one
// of them links only that one.
LogFile LogFile::Create(const std::wstring& path) {
  LogFile log;
  log.file_.Reset(CreateLogFile(path));
  if (!log.file_)
    ThrowCannotCreate(path);
  return log;
}

std::optional<LogFile> LogFile::Create(const std::wstring& path, std::wstring& problem) {
  LogFile log;
  log.file_.Reset(CreateLogFile(path));
  if (!log.file_) {
    problem = CannotCreateMessage(path);
    return std::nullopt;
  }
  return log;
}

void LogFile::Line(const std::wstring& text) {
  if (!file_)
    return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::wstring line = LogTimeStamp(now) + L" " + text;
  for (wchar_t& c : line)
    if (c == L'\r' || c == L'\n')
      c = L' ';
  const std::string bytes = ToUtf8(line) + "\r\n";
  DWORD written = 0;
  WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring LogTimeStamp(const SYSTEMTIME& time) {
  wchar_t text[32];
  std::swprintf(text, sizeof text / sizeof text[0], L"%04u-%02u-%02u %02u:%02u:%02u.%03u",
                time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
                time.wMilliseconds);
  return text;
}
