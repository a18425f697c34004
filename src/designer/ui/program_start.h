#pragma once
// The designer's two questions before any window exists.

#include <windows.h>

#include "win/Dialogs.h"

// `running` is the application window of a designer already running (or null).
// When there is one, asks whether to switch to it, restores it on Yes, and returns
// false: this instance ends, whatever the answer.
bool NoOtherInstance(Dialogs& dialogs, HWND running);
// A screen narrower than 800 pixels asks whether to go on; only the width counts.
bool ScreenAccepted(Dialogs& dialogs, int screenWidth);
