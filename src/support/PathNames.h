#pragma once
// What a path may be before the kit writes or deletes through it: names Windows
// can create, paths that stay below a folder, and the normalised forms that make
// two spellings of one path compare equal.

#include <string>
#include <string_view>

// CON, PRN, AUX, NUL, COM1-9, LPT1-9 (also with ¹²³), CONIN$, CONOUT$, CLOCK$,
// with or without an extension and trailing blanks: names that open a device.
bool IsDeviceName(std::wstring_view component);

// One component of a path that Windows creates as written: not empty, not "." or
// "..", no trailing dot or blank (Windows would drop it), no control character
// and none of < > : " / \ | ? *, and not a device name.
bool IsPortableName(std::wstring_view component);

// A name below a folder: portable components separated by "\" or "/", so it
// cannot be absolute, carry a drive or a stream, climb out or name a device.
bool IsSafeRelativeName(std::wstring_view name);

// "X:\..." or "\\server\share\...", either separator; not "X:", "X:name",
// "\name" or a device path ("\\?\", "\\.\").
bool IsAbsolutePath(std::wstring_view path);

// An absolute path whose every component after the root is portable; one
// trailing separator is allowed.
bool IsPortableAbsolutePath(std::wstring_view path);

// GetFullPathNameW: separators unified, "." and ".." resolved, doubled
// separators collapsed. The text itself when the system refuses it.
std::wstring FullPathName(const std::wstring& path);

// The full path with every existing component in its long form (short 8.3
// names expanded), the components that do not exist kept as written, and no
// trailing separator except after a drive root.
std::wstring LongFullPath(const std::wstring& path);

// GetShortPathNameW of an existing path, or the path itself when it has none.
std::wstring ShortPathName(const std::wstring& path);

// Upper case by the system's rules, for comparing paths without regard to case.
std::wstring FoldedPath(std::wstring path);

// True when `path` lies strictly below `folder`; both are compared in their
// LongFullPath form without regard to case.
bool IsPathInside(const std::wstring& path, const std::wstring& folder);
