#pragma once
// The program's title, the window that owns its message boxes, and the one way an
// error reaches the user: the standard error box, asked of the error prompter.

#include <windows.h>

#include <string>
#include <string_view>

class Prompter;

void SetApplicationTitle(std::wstring title);
const std::wstring& ApplicationTitle();
void SetApplicationWindow(HWND window);
// The owner for message boxes: the application window, else the active window.
HWND ApplicationWindow();

// Where error boxes go: the system's message box, unless a prompter is set (window
// tests answer and record the boxes). nullptr sets the system's back.
void SetErrorPrompter(Prompter* prompter);
// The standard error box (stop icon, OK, the application's title) under `id`.
void ReportError(std::wstring_view id, const std::wstring& message);
#if __cpp_exceptions
// The error box for the exception being handled (call inside a catch block).
void ReportCurrentError(std::wstring_view id);
#endif

// Runs the program's body: an exception that escapes it is shown in the error box
// and ends the program with 1 (a program built without exceptions ends where the
// error is raised, support/ProgramEnd.h).
int RunProgram(int (*body)());
