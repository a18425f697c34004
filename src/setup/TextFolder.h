#pragma once
// The folder the licence and information texts are unpacked to while the
// setup program runs: %TEMP%\Kovrin_<program>, made new by this program with
// a private DACL. Whatever is already there (another user's files, a link) is
// never trusted: it is removed without following links, or when that fails
// a fresh name beside it is used. The folder goes when the program ends.

#include <string>

#include "support/Failure.h"

// The folder for `name` (already made safe as a folder name), made or reused
// if this program made it before; fails when none can be made.
Expected<std::wstring> MakeTextFolder(const std::wstring& name);
