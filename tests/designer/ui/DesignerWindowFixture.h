#pragma once
// The designer's main window created in-process (Wine's null display driver),
// with scripted dialogs and a shell that records instead of opening anything.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TestUtil.h"
#include "designer/ui/create_main.h"
#include "designer/ui/edit_shortcut.h"
#include "win/Layout.h"

class DesignerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    form = std::make_unique<TForm1>(dialogs, shell, L"C:\\Kovrin\\", false);
    // WinRAR is looked up below a scratch key, so the machine's registry does not matter.
    form->State.WinRarRoot = HKEY_CURRENT_USER;
    form->State.WinRarKey = winRarKey.Path() + L"\\absent";
    form->Create(nullptr);
    ASSERT_NE(form->Handle(), nullptr);
  }

  // Mouse movement over a control, as the system sends it.
  std::wstring HintOver(HWND control) {
    SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    return form->StatusText();
  }
  static void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
  // The list view's "edit ended" notice to its page; a null `typed` is a cancelled edit.
  static bool EndLabelEdit(HWND page, HWND list, int item, const wchar_t* typed) {
    std::wstring text = typed ? typed : L"";
    NMLVDISPINFOW edit{};
    edit.hdr.hwndFrom = list;
    edit.hdr.code = LVN_ENDLABELEDITW;
    edit.item.iItem = item;
    edit.item.pszText = typed ? text.data() : nullptr;
    return SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&edit)) != 0;
  }
  static bool Enabled(HWND control) { return IsWindowEnabled(control) != FALSE; }
  // Its own visibility (the main window itself is never shown in these tests).
  static bool Shown(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }
  static COLORREF WindowColor() { return GetSysColor(COLOR_WINDOW); }
  static COLORREF FaceColor() { return GetSysColor(COLOR_BTNFACE); }

  ScriptedDialogs dialogs;
  ScopedErrorPrompter errors{dialogs};
  RecordingShell shell;
  ScratchKey winRarKey;
  std::unique_ptr<TForm1> form;
};
