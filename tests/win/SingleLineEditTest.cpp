#include <gtest/gtest.h>

#include <string>

#include "win/SingleLineEdit.h"

namespace {
std::wstring TextOf(HWND edit) {
  wchar_t text[256] = L"";
  GetWindowTextW(edit, text, 256);
  return text;
}

void PutOnClipboard(const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}
}  // namespace

TEST(SingleLineEdit, NeitherTypingNorPastingLeavesAControlCharacter) {
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 200, 20, nullptr,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  KeepSingleLine(edit);
  for (wchar_t c : {L'a', L'\t', L'b', L'\r', L'\n'}) SendMessageW(edit, WM_CHAR, c, 0);
  EXPECT_EQ(TextOf(edit), L"ab");

  PutOnClipboard(L"X\r\n[Extended]\tUseRun=1\x2028");
  SendMessageW(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(TextOf(edit), L"abX  [Extended] UseRun=1 ");
  DestroyWindow(edit);
}
