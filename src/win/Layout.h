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

// Width and height in pixels of `text` in the control's own font.
SIZE TextExtent(HWND control, const std::wstring& text);
// Sets a label's text and resizes it to the text in its own font; the top-left
// corner stays. An empty label keeps one line's height and no width.
void SetTextFitted(HWND label, const std::wstring& text);
// A static label at a 96-DPI position, already fitted to its text.
HWND CreateFittedLabel(HWND parent, const std::wstring& text, int x, int y, HFONT font = nullptr);
// The layout's widths suit "MS Sans Serif" itself; where the system draws captions
// in a wider face, a check box or radio button grows to show its whole caption
// (never past its parent's edge).
void FitCheckBoxToText(HWND box);

bool IsChecked(HWND box);
void SetChecked(HWND box, bool checked);
// The control's own visible flag, whether or not its parents are shown.
bool HasVisibleStyle(HWND control);
