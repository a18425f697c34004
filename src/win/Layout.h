#pragma once
// Layout in 96-DPI pixels scaled to the system DPI, the UI font, and control creation.

#include <windows.h>

#include <string>

// The system's DPI (96 at 100 %).
int SystemDpi();
// A 96-DPI pixel value scaled to the system DPI.
int Scale(int pixels);

// "MS Sans Serif" 8 pt with the Cyrillic character set (renders Russian on any ACP).
HFONT UiFont();
HFONT UiBoldFont();
// A font of the given face, size in points, style; owned by the caller.
HFONT CreateUiFont(const std::wstring& face, int points, bool bold = false, bool italic = false,
                   bool underline = false, bool strikeOut = false);

// Creates a child control at a 96-DPI position, scaled, with the UI font.
HWND CreateChild(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                 int x, int y, int width, int height, int id = 0, DWORD exStyle = 0);

// Window rectangle for a client area of width x height (96-DPI values, scaled).
SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, bool menu);
// Left/top that centre a window of this size on the screen (integer halves).
POINT CentredOnScreen(int windowWidth, int windowHeight);

std::wstring GetText(HWND control);
void SetText(HWND control, const std::wstring& text);
