#pragma once
// The self-extractor's own folder under the temporary folder: always a new
// one with a private DACL, never an existing folder reused, and removed with
// all it holds, without following a link.

#include <windows.h>

#include "sfx/FixedText.h"

// Creates a folder with a new unique name under the temporary folder and puts
// its path (without a trailing "\") into `folder`. On failure returns the
// system's error code (and `folder` names the temporary folder tried);
// ERROR_SUCCESS when created.
DWORD CreateUniqueTempFolder(PathText& folder);

// Deletes everything in the folder and the folder itself. Links to other
// folders are removed, never followed. A file still held by a process that has
// just ended is tried again for a short while. True when nothing is left.
bool RemoveFolderTree(const wchar_t* folder);
