#pragma once
// The project file: the seven pages of a SetupProject as UTF-8 text, one entry
// per line in a fixed order (docs/project-file.md describes every key).
// Loading gives a whole project or raises KovrinError naming the file and the
// line; nothing is ever half read.

#include <string>
#include <string_view>

#include "formats/SetupProject.h"

inline constexpr wchar_t kProjectExtension[] = L".kovrin";
// The format this version writes and the newest it reads.
inline constexpr int kProjectFormat = 1;

// The file's bytes for a project saved as `projectPath` (absolute): source
// folders below the file's folder are written relative to it.
std::string ProjectFileBytes(const SetupProject& project, const std::wstring& projectPath);

// The project in `bytes`, read as the file `projectPath` (absolute): relative
// source folders are joined to its folder, and messages name it. The sizes of
// the file rows are not part of the file: they come back as 0 for the opener
// to measure.
SetupProject ParseProjectFile(std::string_view bytes, const std::wstring& projectPath);

// Reads the file (its path is made absolute first). Raises KovrinError:
// `Cannot open file "…"` or "<name>, строка <n>: <what is wrong>".
SetupProject LoadProjectFile(const std::wstring& path);
// Writes the file through a temporary one beside it, so a failed save leaves
// the previous file whole. Raises "Unable to write to <path>. <reason>".
void SaveProjectFile(const SetupProject& project, const std::wstring& path);
