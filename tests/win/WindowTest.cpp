#include <gtest/gtest.h>

#include "ScriptedDialogs.h"
#include "support/Error.h"
#include "win/Application.h"
#include "win/Dialogs.h"
#include "win/Layout.h"
#include "win/Window.h"

namespace {
class CountingWindow : public Window {
 public:
  int creates = 0;
  int commands = 0;
  bool throwOnCommand = false;
  void Create() {
    CreateWindowInstance(L"KovrinTestWindow", L"Проверка", WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 100,
                         nullptr);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CREATE)
      ++creates;
    if (message == WM_COMMAND) {
      ++commands;
      if (throwOnCommand)
        throw KovrinError(L"Unable to write to C:\\full.bin");
    }
    return Window::HandleMessage(message, wParam, lParam);
  }
};
}  // namespace

TEST(Window, MessagesReachTheObjectFromCreationOnUntilTheWindowIsDestroyed) {
  CountingWindow window;
  window.Create();
  ASSERT_NE(window.Handle(), nullptr);
  EXPECT_EQ(window.creates, 1);
  SendMessageW(window.Handle(), WM_COMMAND, 0, 0);
  EXPECT_EQ(window.commands, 1);
  wchar_t title[32];
  GetWindowTextW(window.Handle(), title, 32);
  EXPECT_STREQ(title, L"Проверка");
  DestroyWindow(window.Handle());
  EXPECT_EQ(window.Handle(), nullptr);  // the object no longer points at a dead window
}

// No exception leaves a window procedure: a failed handler shows one error box, and
// the window and the program's message loop go on.
TEST(Window, AThrowingHandlerShowsOneErrorBoxAndThenGoesOn) {
  ScriptedDialogs dialogs;
  ScopedErrorPrompter errors(dialogs);
  CountingWindow window;
  window.Create();
  window.throwOnCommand = true;
  PostMessageW(window.Handle(), WM_COMMAND, 0, 0);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].text, L"Unable to write to C:\\full.bin");
  EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_OK | MB_ICONSTOP));

  window.throwOnCommand = false;
  SendMessageW(window.Handle(), WM_COMMAND, 0, 0);
  EXPECT_EQ(window.commands, 2);
  EXPECT_EQ(dialogs.asked.size(), 1u);
  EXPECT_TRUE(IsWindow(window.Handle()));
}

TEST(Layout, TheUiFontIsRussianMsSansSerif) {
  LOGFONTW lf{};
  ASSERT_TRUE(GetObjectW(UiFont(), sizeof lf, &lf));
  EXPECT_STREQ(lf.lfFaceName, L"MS Sans Serif");
  EXPECT_EQ(lf.lfCharSet, RUSSIAN_CHARSET);
}

TEST(ResolveColor, RgbAndSystemColours) {
  EXPECT_EQ(ResolveColor(255), RGB(255, 0, 0));
  EXPECT_EQ(ResolveColor(0x00FF8040), RGB(0x40, 0x80, 0xFF));
  EXPECT_EQ(ResolveColor(-16777208), GetSysColor(COLOR_WINDOWTEXT));
}
