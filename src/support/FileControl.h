#pragma once
// Folder clean-up for the designer's build run.

#include <string>

// Deletes every file of the folder (no trailing "\"); sub-folders stay; files that
// cannot be deleted are skipped. Returns 0.
int ClearFolder(const std::wstring& folder);
