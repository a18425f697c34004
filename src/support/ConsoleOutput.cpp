#include "support/ConsoleOutput.h"

#include "support/ParentConsole.h"

void WriteToErrorStream(const std::wstring& text) {
  // Borrowed only for this line: a setup program or uninstaller says one thing.
  ParentConsole console;
  console.Error(text);
}
