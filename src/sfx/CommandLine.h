#pragma once
// The self-extractor's command line: what follows its own program name goes to
// the setup program unchanged; "/S" among it means no window and no message box.

// The arguments after the program name (quoted or not) and the blanks after it;
// an empty text when there are none.
const wchar_t* ArgumentsAfterProgramName(const wchar_t* commandLine);
// True when one of the arguments is /S or /s, its quotes dropped as the setup
// program drops them ("/S" is /S; "a /S b" is one other argument).
bool HasSilentSwitch(const wchar_t* arguments);
