#pragma once
// The Files list's order by extension, used by the build before it writes
// anything and by the Files page's list comparison.

#include <string>
#include <string_view>
#include <vector>

#include "formats/SetupProject.h"

// The text after the last "." that lies after the last "\" or ":"; empty when
// the name has no such dot ("readme", "old.dir\file").
std::wstring_view ExtensionOf(std::wstring_view relativeName);

// -1, 0 or 1: the two names' extensions compared byte by byte as unsigned
// Windows-1251 bytes, the shorter first where one is a prefix of the other.
// Case counts: "TXT" sorts before "exe", and an empty extension before all.
int CompareExtensions(std::wstring_view relativeNameA, std::wstring_view relativeNameB);

// Reorders the rows by extension; rows with equal extensions keep their order.
void SortFilesByExtension(std::vector<FileEntry>& files);
