#pragma once
// The program's title and the window that owns its message boxes.

#include <windows.h>

#include <string>

void SetApplicationTitle(std::wstring title);
const std::wstring& ApplicationTitle();
void SetApplicationWindow(HWND window);
// The owner for message boxes: the application window, else the active window.
HWND ApplicationWindow();

// The standard error box: stop icon, OK, the application's title.
void ShowErrorBox(const std::wstring& message);
// Shows the error box for the exception being handled (call inside a catch block).
void ShowCurrentException();
// The text the error box shows for the exception being handled (call inside a catch block).
std::wstring CurrentExceptionMessage();
