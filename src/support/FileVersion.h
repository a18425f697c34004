#pragma once
// The version a program carries in its VERSIONINFO resource.

#include <cstdint>
#include <optional>
#include <string>

// The file version of VS_FIXEDFILEINFO as one number (major, minor, build,
// revision from the high word down), so that versions compare as numbers.
// Nothing for a file without version information or that cannot be read.
std::optional<uint64_t> ProgramFileVersion(const std::wstring& path);
