#include "win/Application.h"

#include "support/Error.h"
#include "win/Dialogs.h"

namespace {
std::wstring g_title;
HWND g_window = nullptr;
Prompter* g_errorPrompter = nullptr;

Prompter& ErrorPrompter() {
  static SystemDialogs system;
  return g_errorPrompter ? *g_errorPrompter : system;
}
}  // namespace

void SetApplicationTitle(std::wstring title) {
  g_title = std::move(title);
}
const std::wstring& ApplicationTitle() {
  return g_title;
}
void SetApplicationWindow(HWND window) {
  g_window = window;
}
HWND ApplicationWindow() {
  return g_window ? g_window : GetActiveWindow();
}

void SetErrorPrompter(Prompter* prompter) {
  g_errorPrompter = prompter;
}

void ReportError(std::wstring_view id, const std::wstring& message) {
  ErrorPrompter().Ask(id, message, g_title, MB_OK | MB_ICONSTOP);
}

#if __cpp_exceptions
void ReportCurrentError(std::wstring_view id) {
  ReportError(id, CurrentExceptionMessage());
}
#endif

int RunProgram(int (*body)()) {
#if __cpp_exceptions
  try {
    return body();
  } catch (...) {
    g_window = nullptr;  // gone with the body's windows: the box must not name it as its owner
    ReportCurrentError(L"program.error");
    return 1;
  }
#else
  return body();
#endif
}
