#include <gtest/gtest.h>

#include "support/Handle.h"
#include "win/GdiScope.h"
#include "win/Layout.h"

// Each owner puts back what its DC held before, also when a selection made
// inside its scope replaced its own object meanwhile.
TEST(GdiScope, SelectedObjectsGiveWayToWhatTheyReplacedInReverseOrder) {
  const WindowDc screen(nullptr);
  ASSERT_NE(screen.Get(), nullptr);
  const MemoryDc dc(CreateCompatibleDC(screen.Get()));
  const BitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), 4, 4));
  const PenHandle pen(CreatePen(PS_SOLID, 3, RGB(0, 160, 0)));
  const HGDIOBJ originalBitmap = GetCurrentObject(dc.Get(), OBJ_BITMAP);
  const HGDIOBJ originalPen = GetCurrentObject(dc.Get(), OBJ_PEN);
  {
    const SelectedObject target(dc.Get(), bitmap.Get());
    const SelectedObject line(dc.Get(), pen.Get());
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
    SelectObject(dc.Get(), GetStockObject(NULL_PEN));
  }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), originalBitmap);
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), originalPen);
  // No longer selected anywhere, the bitmap can go into another DC.
  const MemoryDc other(CreateCompatibleDC(screen.Get()));
  const SelectedObject elsewhere(other.Get(), bitmap.Get());
  EXPECT_EQ(GetCurrentObject(other.Get(), OBJ_BITMAP), bitmap.Get());
}

// TextExtent measures with the control's own font, through the control's DC.
TEST(GdiScope, TextExtentUsesTheControlsFont) {
  HWND small = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
  HWND large = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
  ASSERT_TRUE(small && large);
  const FontHandle smallFont(CreateUiFont(L"MS Sans Serif", 8));
  const FontHandle largeFont(CreateUiFont(L"MS Sans Serif", 24));
  SendMessageW(small, WM_SETFONT, reinterpret_cast<WPARAM>(smallFont.Get()), FALSE);
  SendMessageW(large, WM_SETFONT, reinterpret_cast<WPARAM>(largeFont.Get()), FALSE);
  const SIZE a = TextExtent(small, L"Установка");
  const SIZE b = TextExtent(large, L"Установка");
  EXPECT_GT(a.cx, 0);
  EXPECT_GT(b.cx, a.cx);
  EXPECT_GT(b.cy, a.cy);
  DestroyWindow(small);
  DestroyWindow(large);
}
