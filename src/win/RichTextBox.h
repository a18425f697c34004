#pragma once
// A rich-text box (msftedit's RICHEDIT50W) that loads RTF files and hands its
// content back as an RTF document; shared by the designer and the setup program.

#include <windows.h>

#include <string>

#include "support/Failure.h"

// The class name to create boxes with: the newest rich-text control the system
// has (msftedit's, else riched20's), loaded on the first call for the program's life.
const wchar_t* RichEditClassName();

// Gives a new box a plain (non-bold) default font, as RTF without \plain expects,
// and room for texts of any length (the control's own limit is 32,767 characters).
void SetRichTextDefaultFont(HWND box, HFONT font);
// Replaces the content with the RTF file, streamed in fixed blocks and never cut
// at the control's text limit. Fails as `Cannot open file "…". …` and keeps the
// old content when it cannot be opened; a read error midway is returned once the
// box has stopped reading.
Status LoadRichTextFile(HWND box, const std::wstring& path);
// Replaces the content with an RTF document held in memory, never cut either.
void SetRichText(HWND box, const std::string& rtf);
// The content as an RTF document.
std::string GetRichText(HWND box);
// Appends one line of plain text at the end (also in a read-only box).
void AppendRichTextLine(HWND box, const std::wstring& line);
// The plain text, lines separated by "\r\n".
std::wstring GetRichPlainText(HWND box);
