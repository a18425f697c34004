#pragma once
// Writes the setup script and the two saved texts from a project.

#include <string>

#include "formats/SetupProject.h"
#include "support/Progress.h"

// Writes every key into `scriptPath` (an existing script is rewritten in place:
// keys this run does not write stay) and saves the used texts as "_zreadme.dat"
// and "_zlicense.dat" beside it. Reports 0..100 while writing the file rows.
void WriteSetupScript(const SetupProject& project, const std::wstring& scriptPath,
                      ProgressSink& progress);

// The bytes of a plain text as the package stores it: each line in Windows-1251
// followed by CR LF.
std::string PlainTextBytes(const std::vector<std::wstring>& lines);
