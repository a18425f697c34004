#pragma once
// Labels that fit their text, as the window's "fits text" labels do.

#include <windows.h>

#include <string>

// Sets the label's text and resizes it to the text's width and height in the
// label's own font; the top-left corner stays.
void SetTextFitted(HWND label, const std::wstring& text);

// Width in pixels of the text in the control's own font.
int TextWidth(HWND control, const std::wstring& text);

// A static label at a 96-DPI position, already fitted to its text.
HWND CreateFittedLabel(HWND parent, const std::wstring& text, int x, int y, HFONT font = nullptr);
