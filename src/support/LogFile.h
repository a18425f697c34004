#pragma once
// A log of events, one line each: a local time stamp, a blank and the text, in
// UTF-8 without a byte order mark, lines ended by CR LF. Every line goes to the
// file as it is written, so a program that dies midway leaves what it logged.

#include <windows.h>

#include <optional>
#include <string>

#include "support/Handle.h"

class LogFile {
 public:
  LogFile() = default;  // no file: lines go nowhere
  // Creates (or empties) the file; raises `Cannot create file "<path>". <reason>`.
  static LogFile Create(const std::wstring& path);
  // The same without raising: nullopt, with the message Create would raise in `problem`.
  static std::optional<LogFile> Create(const std::wstring& path, std::wstring& problem);

  bool IsOpen() const { return file_.Valid(); }
  // Line breaks inside `text` become blanks, so one event stays one line. A
  // failed write is not an error: the log never stops the work it describes.
  void Line(const std::wstring& text);

 private:
  FileHandle file_;
};

// "YYYY-MM-DD hh:mm:ss.mmm"
std::wstring LogTimeStamp(const SYSTEMTIME& time);
