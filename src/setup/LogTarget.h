#pragma once
// Whether /LOG=<file> may be created: the log empties its file, so it must not
// name a file of the package it installs (the script, the payload, the texts,
// the uninstaller's image) or the setup program itself, and an existing file
// that is a link would let the log empty whatever the link points at.

#include <string>

// Empty when the log may be written to `logPath`; otherwise why not, for the
// refusal of the command line. The names are compared in their full, long form
// without regard to case, and existing files also by identity, so a relative
// name, an 8.3 name or a hard link to a package file is seen through.
std::wstring LogTargetProblem(const std::wstring& logPath, const std::wstring& packageFolder,
                              const std::wstring& programPath);
