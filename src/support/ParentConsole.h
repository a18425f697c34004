#pragma once
// Standard output and standard error of a GUI program started from a command
// line. A stream the program inherited (a file or a pipe, as a redirection or a
// script gives it) takes UTF-8 text; otherwise the console of the process that
// started it is borrowed for the program's life and takes the text as letters.
// Without either, lines go nowhere.

#include <windows.h>

#include <string>

#include "support/Handle.h"

class ParentConsole {
 public:
  ParentConsole();
  ~ParentConsole();
  ParentConsole(const ParentConsole&) = delete;
  ParentConsole& operator=(const ParentConsole&) = delete;

  // One line each, ended with CR LF.
  void Out(const std::wstring& line) { Write(out_, line); }
  void Error(const std::wstring& line) { Write(error_, line); }

 private:
  struct Stream {
    HANDLE handle = nullptr;  // not owned unless `owned` holds it
    FileHandle owned;
    bool console = false;  // a console screen: written with WriteConsoleW
  };
  void Open(Stream& stream, DWORD standard);
  static void Write(const Stream& stream, const std::wstring& line);

  Stream out_;
  Stream error_;
  bool attached_ = false;
};
