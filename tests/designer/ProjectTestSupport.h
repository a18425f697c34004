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

// The sample's source files in list order, relative to its folder.
inline const wchar_t* const kDemoFiles[] = {
    L"files\\app\\demo.cmd", L"files\\app\\settings.ini", L"files\\app\\lib\\helper.txt",
    L"files\\docs\\manual.txt", L"files\\docs\\changes.txt"};

// Copies a folder tree (files and sub-folders) into `to`, which is created.
inline void CopyFolder(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  for (const std::wstring& name : TreeOf(from))  // a folder sorts before what it holds
    if (FolderExists(from + L"\\" + name))
      CreateDirectoryW((to + L"\\" + name).c_str(), nullptr);
    else
      CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
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
