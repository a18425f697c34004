#pragma once
// The designer's main window created in-process (Wine's null display driver),
// with scripted dialogs and a shell that records instead of opening anything.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TestUtil.h"
#include "designer/WinRarPath.h"
#include "designer/ui/create_main.h"
#include "designer/ui/edit_shortcut.h"
#include "support/Handle.h"
#include "support/QRegistry.h"
#include "win/Layout.h"

// For this process HKEY_LOCAL_MACHINE is a scratch key while this lives, so the
// designer's WinRAR lookup sees what a test registers there, whatever the machine has.
class ScratchMachineKey {
 public:
  explicit ScratchMachineKey(const ScratchKey& standIn) {
    RegOpenKeyExW(HKEY_CURRENT_USER, standIn.Path().c_str(), 0, KEY_ALL_ACCESS, key_.Put());
    overridden_ = RegOverridePredefKey(HKEY_LOCAL_MACHINE, key_.Get()) == ERROR_SUCCESS;
    EXPECT_TRUE(overridden_) << "HKEY_LOCAL_MACHINE cannot be redirected";
  }
  ~ScratchMachineKey() {
    if (overridden_)
      RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  }
  ScratchMachineKey(const ScratchMachineKey&) = delete;
  ScratchMachineKey& operator=(const ScratchMachineKey&) = delete;

 private:
  RegKey key_;
  bool overridden_ = false;
};

class DesignerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    form = std::make_unique<TForm1>(dialogs, shell, L"C:\\Kovrin\\", false);
    ScratchMachineKey noWinRar(machine);  // the window looks WinRAR up as it is created
    form->Create(nullptr);
    ASSERT_NE(form->Handle(), nullptr);
  }

  // Another designer window as a new start of the designer makes it, with the same dialogs.
  std::unique_ptr<TForm1> FreshDesigner(const std::wstring& designerFolder = L"C:\\Kovrin\\") {
    auto fresh = std::make_unique<TForm1>(dialogs, shell, designerFolder, false);
    ScratchMachineKey noWinRar(machine);
    fresh->Create(nullptr);
    return fresh;
  }
  // Runs the messages posted so far (the title is brought up to date by one).
  static void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  // WinRAR's "open" command as its installer registers it, below the scratch machine key.
  void RegisterWinRar(const std::wstring& command) {
    RegistryKey::Create(HKEY_CURRENT_USER, machine.Path() + L"\\" + kWinRarCommandKey)
        .WriteText(L"", command);
  }

  // Mouse movement over a control, as the system sends it.
  std::wstring HintOver(HWND control) {
    SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    return form->StatusText();
  }
  static void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
  // Runs `fill` on the next shortcut editor once it is up in its modal loop.
  static void WhenEditorShows(std::function<void(TForm2&)> fill) {
    EditorFill() = std::move(fill);
    SetTimer(nullptr, 0, 0, &FillEditor);
  }
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
  ScratchKey machine;  // stands in for HKEY_LOCAL_MACHINE (ScratchMachineKey)
  std::unique_ptr<TForm1> form;

 private:
  static std::function<void(TForm2&)>& EditorFill() {
    static std::function<void(TForm2&)> fill;
    return fill;
  }
  // A thread timer's callback runs from the first message loop after it is set: the editor's.
  static void CALLBACK FillEditor(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND editor = FindWindowW(L"KovrinShortcutEditor", nullptr);
    ASSERT_NE(editor, nullptr) << "no shortcut editor is up";
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(editor, GWLP_USERDATA));
    EditorFill()(*static_cast<TForm2*>(window));
  }
};
