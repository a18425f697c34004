#pragma once
#include <string>
#include <vector>

// The names of a folder's files (no subfolders, no links), in name order;
// raises KovrinError when the folder cannot be read.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
