#pragma once
// How one value of a project file is written on its line, and how source
// folders are kept relative to the project file. See docs/project-file.md.

#include <optional>
#include <string>
#include <string_view>

// The value as it stands after "=": unchanged when a reader gets it back by
// trimming blanks, otherwise between double quotes with backslash escapes.
// `asciiOnly` escapes every character above U+007F as well (RTF lines, whose
// characters are bytes).
std::wstring EncodeProjectValue(std::wstring_view value, bool asciiOnly = false);

// The value of the text after "=": blanks around it removed, a quoted value
// unescaped. Nothing on a malformed quoted value, with `problem` saying why.
std::optional<std::wstring> DecodeProjectValue(std::wstring_view raw, std::wstring& problem);

// Where the first control character stands (C0, DEL, and the line breaks
// U+0085, U+2028, U+2029), or npos: a value that is one line of the setup
// script holds none.
size_t ControlCharacterAt(std::wstring_view value);
// "U+000D" for a message.
std::wstring CharacterCode(wchar_t c);

// The folder of the project file: absolute, without a trailing "\" except at a
// drive root ("C:\").
std::wstring ProjectFolderOf(const std::wstring& projectPath);
// A source folder as the project file keeps it: below the project's folder
// relative to it ("." for the folder itself, trailing "\" kept as it was),
// anything else unchanged.
std::wstring StoredSourceFolder(const std::wstring& localFolder, const std::wstring& projectFolder);
// The folder again: a relative one joined to the project's folder; an absolute
// one (drive, "\" or "\\" at its start) or an empty one unchanged.
std::wstring ResolvedSourceFolder(const std::wstring& stored, const std::wstring& projectFolder);
