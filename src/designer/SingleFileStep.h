#pragma once
// The build run's packing step for a package handed out as one program: the
// package files lying in the build folder go through the built-in packer into
// OutputFolder\SetupFileName, with the run's status line, bar and cancel.

#include <string>
#include <vector>

#include "designer/BuildSteps.h"
#include "designer/SingleFilePacker.h"

inline constexpr wchar_t kSingleFileStatus[] = L"Упаковка в один файл...";
// The packed program in the build folder while it waits to be signed.
inline constexpr wchar_t kPackedSingleFile[] = L"~packed.exe";

// The sizes that the setup script at `scriptPath` gives its files, in its
// order: data.dat's members, as the packer may move them (PackedFile::Parts).
std::vector<uint64_t> PayloadParts(const std::wstring& scriptPath);

// The package files of the project (those PublishPackage would copy), read
// from the build folder, under their names in the package; the launcher first.
// data.dat comes with its members' sizes from the built setup script.
std::vector<PackedFile> SingleFilePackage(const SetupProject& project,
                                          const std::wstring& buildFolder);

// Packs the package into the output folder (signed first when the project has
// a signing command); a cancel raises OperationCancelled and a failure raises
// KovrinError, each leaving an earlier program there whole.
void BuildSingleFile(BuildContext& context);
