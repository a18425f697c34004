#pragma once
// Temporary folders of an elevated program's own: made new with a DACL that
// lets in only the user who runs it, Administrators and SYSTEM (never the
// permissions of a parent others may write to), and removed through handles
// without ever following a link. Plain Win32 without exceptions or the
// standard library, so the self-extractor uses it too.

#include <windows.h>

// The folder temporary folders go in: GetTempPath2W where Windows has it (it
// gives SYSTEM a folder of its own), else GetTempPathW; with a trailing "\".
// Returns the length, 0 on failure (GetLastError) or when `size` is too small.
DWORD PrivateTempRoot(wchar_t* buffer, DWORD size);

// Creates the folder, which must not exist, with the private DACL. Returns
// ERROR_SUCCESS or the system's error (ERROR_ALREADY_EXISTS for a taken name).
DWORD CreatePrivateFolder(const wchar_t* path);

// Deletes the folder and everything below it. Each entry is opened without
// following a reparse point and deleted through its handle; a link is removed
// itself, and an entry whose handle leads outside the folder is left alone.
// True when the folder is gone (or was never there).
bool RemoveTreeWithoutLinks(const wchar_t* folder);
