#include "support/CommandLineWords.h"

#include <windows.h>

#include <shellapi.h>

#include "support/Handle.h"

std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine) {
  int count = 0;
  const LocalMemory<LPWSTR*> words(CommandLineToArgvW(commandLine, &count));
  if (!words)
    return {};
  return std::vector<std::wstring>(words.Get(), words.Get() + count);
}
