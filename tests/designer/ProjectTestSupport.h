#pragma once
// The sample project beside the test program, copies of it to change, and a
// console that records what the command-line build prints.

#include <windows.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "designer/CommandLineBuild.h"

// examples/demo, copied beside the test program by the build.
inline std::wstring DemoFolder() {
  return ProgramFolder() + L"demo";
}

// Copies a folder tree (files and sub-folders) into `to`, which is created.
inline void CopyFolder(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..")
      continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyFolder(from + L"\\" + name, to + L"\\" + name);
    else
      CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

class RecordingConsole : public ConsoleWriter {
 public:
  void Out(const std::wstring& line) override { out.push_back(line); }
  void Error(const std::wstring& line) override { errors.push_back(line); }
  bool Printed(const std::wstring& line) const {
    for (const std::wstring& printed : out)
      if (printed == line)
        return true;
    return false;
  }

  std::vector<std::wstring> out;
  std::vector<std::wstring> errors;
};
