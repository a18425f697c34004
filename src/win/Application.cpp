#include "win/Application.h"

#include <exception>

#include "support/Error.h"

namespace {
std::wstring g_title;
HWND g_window = nullptr;
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

void ShowErrorBox(const std::wstring& message) {
  MessageBoxW(ApplicationWindow(), message.c_str(), g_title.c_str(), MB_OK | MB_ICONSTOP);
}

void ShowCurrentException() {
  ShowErrorBox(CurrentExceptionMessage());
}

std::wstring CurrentExceptionMessage() {
  try {
    throw;
  } catch (const KovrinError& error) {
    return error.Message();
  } catch (const std::bad_alloc&) {
    return L"Out of memory";
  } catch (const std::exception& error) {
    std::string what = error.what();
    return std::wstring(what.begin(), what.end());
  } catch (...) {
    return L"Unknown error";
  }
}
