#pragma once
// Where the kit's programs load DLLs from. They run elevated from folders an
// ordinary user may write to (Downloads, a temporary folder), so a DLL planted
// beside them must never be loaded: the search goes to System32 only, and the
// few DLLs not on the system's known list are loaded by their full System32
// path. Header-only and without the standard library, for the self-extractor.

#include <windows.h>

// The first call of every program. SetDefaultDllDirectories is looked up at
// run time (Windows 7 has it only with an update); without it, the current
// folder at least leaves the search. True when the search is System32 only.
inline bool RestrictDllSearchToSystem32() {
  SetDllDirectoryW(L"");
  using SetDefault = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = kernel ? reinterpret_cast<SetDefault>(reinterpret_cast<void*>(
                                       GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                 : nullptr;
  return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Loads `name` (a bare file name) from System32 by its full path; null when it
// is not there.
inline HMODULE LoadSystemLibrary(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return nullptr;
  UINT at = length;
  if (path[at - 1] != L'\\')
    path[at++] = L'\\';
  for (const wchar_t* c = name; *c; ++c) {
    if (at + 1 >= MAX_PATH)
      return nullptr;
    path[at++] = *c;
  }
  path[at] = 0;
  return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
