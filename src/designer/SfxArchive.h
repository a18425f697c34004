#pragma once
// The archive step: hands the package lying in the build folder to WinRAR,
// which makes one self-extracting program of it in the output folder.

#include <string>
#include <vector>

#include "designer/BuildSteps.h"
#include "formats/ArchiverInput.h"

inline constexpr wchar_t kArchiverName[] = L"WinRAR.exe";
// The status line while the archiver runs.
inline constexpr wchar_t kArchiverStartText[] = L"Запускается WinRAR...";

// Lines of "setup.lst": the launcher, setup.ini, data.dat, then setup.dat when a
// text is used and uninst.dat when the uninstaller is.
std::vector<std::wstring> SfxListLines(const SetupProject& project,
                                       const std::wstring& buildFolder);
// Lines of "setup.cmt", the self-extractor's script.
std::vector<std::wstring> SfxCommentLines(const SetupProject& project);
// The archiver's arguments; the archive name is quoted so blanks survive.
std::wstring SfxCommandLine(const SetupProject& project, const BuildFolders& folders);
// The Compression page's path when it names an existing file, else "WinRAR.exe",
// which the shell finds through the application's registered path.
std::wstring ArchiverProgram(const SetupProject& project);
// A path in the box must name an existing .exe on a local drive: the shell
// would open any other file with whatever program its type has, and start a
// program from the network. An empty box is left to the shell's lookup.
void CheckArchiverPath(const std::wstring& path);

// Writes the list and the comment, starts the archiver through the shell and
// waits, letting messages run, until it has ended having archived (and so
// removed) the launcher. An archiver that cannot start or that ends without
// doing so raises an error; a cancel stops it and removes its partial archive.
void BuildSfxArchive(BuildContext& context);
