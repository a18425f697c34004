#pragma once
// Edit boxes whose text is one line of the setup script: typing or pasting a
// control character (a tab, a line break) puts a blank in its place, so the
// box can never hold a value that the build refuses.

#include <windows.h>

void KeepSingleLine(HWND edit);
