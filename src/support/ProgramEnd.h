#pragma once
// How a program built without exceptions ends on an error it cannot recover
// from: a raised error, a library error or exhausted memory. It cannot unwind
// to a handler, so the error goes to the report the program set, and the
// process ends with the program's exit code for it. Without a report set the
// process aborts, as an uncaught exception would end it.

using ProgramEndReport = void (*)(const wchar_t* message);

// `report` sees the message once; an error raised while it runs (the log
// cannot be written, memory is still exhausted) ends the process at once.
void SetProgramEnd(ProgramEndReport report, int exitCode);

// A plain pointer: ending for exhausted memory must not allocate.
[[noreturn]] void EndProgram(const wchar_t* message);
// For the standard library's messages, which are plain ASCII.
[[noreturn]] void EndProgram(const char* message);
