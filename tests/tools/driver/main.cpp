// driver: drives a program's windows from a shell script, as a person would.
//   driver wait <title> [ms]              a visible top-level window appears
//   driver waitgone <title> [ms]          no window of that title is left
//   driver click <title> <caption|#id> [ms]
//                                         waits for the button to be visible and
//                                         enabled, then clicks it (posted, so a
//                                         box it opens never blocks the driver)
//   driver waitbutton <title> <caption|#id> [ms]
//                                         the same wait, without the click
//   driver check <title> <caption> <0|1> [ms]
//                                         waits for the check box to be visible,
//                                         then sets it as a click would
//   driver select <title> <entry>         selects a list box entry, as a click would
//   driver settext <title> <label|#id> <text>
//                                         types into the edit box under that label
//   driver menu <title> <item>            chooses a menu bar command by its text
//                                         (without the shortcut after a tab)
//   driver msgbox <caption> <yes|no|ok|cancel|retry|none> [ms]
//                                         answers a message box (none: leaves it
//                                         open); prints its text
//   driver regget <key under HKLM> <value>
//                                         prints a REG_SZ value of HKEY_LOCAL_MACHINE
//                                         (a REG_DWORD one in decimal)
//   driver run <command line>             starts it, waits, returns its exit code
//   driver runhidden <ms> <command line>  the same, with the driver's standard
//                                         streams, watching that the program never
//                                         shows a window: its exit code, or 100 when
//                                         a window appeared, 101 when it outlived <ms>
//   driver hold <file> <release> [ms]     opens the file as a program in use would
//                                         (no delete sharing), creates <release>.held,
//                                         and closes it once <release> exists
//   driver dump                           lists visible top-level windows and texts
// Texts are printed as UTF-8. Exit status: 0 done, 1 not found or timed out, 2 usage.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "support/Handle.h"

namespace {
constexpr DWORD kDefaultTimeout = 30000;

void Print(const std::wstring& text) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                  0, nullptr, nullptr);
  std::string out(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), bytes,
                      nullptr, nullptr);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

int Fail(const std::wstring& text) {
  Print(L"driver: " + text);
  return 1;
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[4096] = L"";
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      2000, &result);
  return buffer;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

// A caption as the user reads it: without the "&" of its access key.
std::wstring WithoutAccessKey(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] != L'&' || (i + 1 < text.size() && text[i + 1] == L'&' && ++i))
      out += text[i];
  return out;
}

std::wstring Caption(HWND window) {
  return WithoutAccessKey(TextOf(window));
}

struct TopSearch {
  std::wstring title;
  bool messageBox;  // true: only #32770 boxes; false: never them
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TopSearch*>(param);
  if (!IsWindowVisible(window) || TextOf(window) != search->title)
    return TRUE;
  if ((ClassOf(window) == L"#32770") == search->messageBox)
    search->found.push_back(window);
  return TRUE;
}

HWND FindTop(const std::wstring& title, bool messageBox) {
  TopSearch search{title, messageBox, {}};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
  return search.found.empty() ? nullptr : search.found.front();
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

std::vector<HWND> Children(HWND top) {
  std::vector<HWND> children;
  EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND FindButton(HWND top, const std::wstring& which) {
  if (which.size() > 1 && which[0] == L'#') {
    const int id = _wtoi(which.c_str() + 1);
    for (HWND child : Children(top))
      if (GetDlgCtrlID(child) == id)
        return child;
    return nullptr;
  }
  for (HWND child : Children(top))
    if (ClassOf(child) == L"Button" && Caption(child) == which && IsWindowVisible(child))
      return child;
  return nullptr;
}

HWND FindVisibleChild(HWND top, const wchar_t* className, const std::wstring& caption) {
  for (HWND child : Children(top))
    if (ClassOf(child) == className && Caption(child) == caption && IsWindowVisible(child))
      return child;
  return nullptr;
}

// The edit box a label names: the first edit box after it in the tab order, as
// for a dialog's labelled control; or the control with the id "#n".
HWND FindEdit(HWND top, const std::wstring& which) {
  if (which.size() > 1 && which[0] == L'#')
    return FindButton(top, which);
  HWND label = FindVisibleChild(top, L"Static", which);
  for (HWND next = label ? GetWindow(label, GW_HWNDNEXT) : nullptr; next;
       next = GetWindow(next, GW_HWNDNEXT))
    if (ClassOf(next) == L"Edit")
      return next;
  return nullptr;
}

int SetText(HWND top, const std::wstring& which, const std::wstring& text) {
  HWND edit = FindEdit(top, which);
  if (!edit)
    return Fail(L"no edit box \"" + which + L"\"");
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return TextOf(edit) == text ? 0 : Fail(L"the edit box \"" + which + L"\" did not take the text");
}

int SelectEntry(HWND top, const std::wstring& entry) {
  for (HWND list : Children(top)) {
    if (ClassOf(list) != L"ListBox" || !IsWindowVisible(list))
      continue;
    const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(entry.c_str()));
    if (index == LB_ERR)
      continue;
    // LB_SETCURSEL notifies no one; a click would also tell the parent.
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return 0;
  }
  return Fail(L"no list box entry \"" + entry + L"\"");
}

// The command id of the item with this text, in the menu or its pop-ups.
std::optional<UINT> FindMenuCommand(HMENU menu, const std::wstring& item) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU popup = GetSubMenu(menu, i)) {
      if (auto id = FindMenuCommand(popup, item))
        return id;
      continue;
    }
    wchar_t text[256] = L"";
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    // The item's name, without its shortcut ("Сохранить проект\tCtrl+S").
    std::wstring name = WithoutAccessKey(text);
    name = name.substr(0, name.find(L'\t'));
    if (name == item)
      return GetMenuItemID(menu, i);
  }
  return std::nullopt;
}

struct MenuSearch {
  std::wstring item;
  std::optional<UINT> id;
};

BOOL CALLBACK SearchMenuResource(HMODULE image, LPCWSTR, LPWSTR name, LONG_PTR param) {
  auto* search = reinterpret_cast<MenuSearch*>(param);
  if (HMENU menu = LoadMenuW(image, name)) {
    search->id = FindMenuCommand(menu, search->item);
    DestroyMenu(menu);
  }
  return !search->id;
}

// Wine keeps a menu inside the process that made it, so another process cannot
// read the bar; the menu resources of the window's program image are its source.
std::optional<UINT> FindMenuCommandInImage(HWND top, const std::wstring& item) {
  DWORD processId = 0;
  GetWindowThreadProcessId(top, &processId);
  KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  wchar_t path[MAX_PATH] = L"";
  DWORD size = MAX_PATH;
  if (!process || !QueryFullProcessImageNameW(process.Get(), 0, path, &size))
    return std::nullopt;
  ModuleHandle image(LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
  MenuSearch search{item, std::nullopt};
  if (image)
    EnumResourceNamesW(image.Get(), RT_MENU, SearchMenuResource,
                       reinterpret_cast<LONG_PTR>(&search));
  return search.id;
}

int ChooseMenuItem(HWND top, const std::wstring& item) {
  HMENU bar = GetMenu(top);
  if (!bar)
    return Fail(L"the window has no menu bar");
  std::optional<UINT> id =
      GetMenuItemCount(bar) >= 0 ? FindMenuCommand(bar, item) : FindMenuCommandInImage(top, item);
  if (!id)
    return Fail(L"no menu item \"" + item + L"\"");
  // Posted, as the menu itself does: a modal window the command opens never blocks the driver.
  PostMessageW(top, WM_COMMAND, MAKEWPARAM(*id, 0), 0);
  return 0;
}

template <class Test>
bool WaitFor(DWORD timeout, Test test) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (test())
      return true;
    if (GetTickCount64() - start > timeout)
      return false;
    Sleep(50);
  }
}

DWORD TimeoutArg(int argc, wchar_t** argv, int index) {
  return argc > index ? static_cast<DWORD>(_wtoi(argv[index])) : kDefaultTimeout;
}

int Dump() {
  struct Lister {
    static BOOL CALLBACK Top(HWND window, LPARAM) {
      if (!IsWindowVisible(window))
        return TRUE;
      Print(L"[" + ClassOf(window) + L"] " + TextOf(window));
      for (HWND child : Children(window))
        if (IsWindowVisible(child) && !TextOf(child).empty())
          Print(L"    " + ClassOf(child) + L": " + TextOf(child));
      return TRUE;
    }
  };
  EnumWindows(Lister::Top, 0);
  return 0;
}

int Run(const std::wstring& commandLine) {
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return Fail(L"cannot start " + commandLine);
  KernelHandle processHandle(process.hProcess);
  KernelHandle threadHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  return static_cast<int>(code & 0xFF);
}

struct WindowSearch {
  DWORD processId;
  std::wstring* title;
  bool found;
};

BOOL CALLBACK FindVisibleWindowOf(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window))
    return TRUE;
  *search->title = L"[" + ClassOf(window) + L"] " + TextOf(window);
  search->found = true;
  return FALSE;
}

// True when a visible top-level window belongs to the process.
bool ShowsWindow(DWORD processId, std::wstring& title) {
  WindowSearch search{processId, &title, false};
  EnumWindows(FindVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int RunHidden(DWORD timeout, const std::wstring& commandLine) {
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process))
    return Fail(L"cannot start " + commandLine);
  KernelHandle processHandle(process.hProcess);
  KernelHandle threadHandle(process.hThread);
  const ULONGLONG start = GetTickCount64();
  std::wstring title;
  while (WaitForSingleObject(process.hProcess, 10) == WAIT_TIMEOUT) {
    if (ShowsWindow(process.dwProcessId, title)) {
      Print(L"driver: the program showed a window: " + title);
      TerminateProcess(process.hProcess, 100);
      return 100;
    }
    if (GetTickCount64() - start > timeout) {
      Print(L"driver: the program still runs after " + std::to_wstring(timeout) + L" ms");
      TerminateProcess(process.hProcess, 101);
      return 101;
    }
  }
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  return static_cast<int>(code & 0xFF);
}

int RegGet(const std::wstring& keyPath, const std::wstring& name) {
  RegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
    return Fail(L"no key HKLM\\" + keyPath);
  wchar_t value[4096] = L"";
  DWORD bytes = sizeof value - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value),
                       &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_DWORD))
    return Fail(L"no text or number value " + name);
  if (type == REG_DWORD) {
    DWORD number = 0;
    memcpy(&number, value, sizeof number);
    Print(std::to_wstring(number));
  } else {
    Print(value);
  }
  return 0;
}

int Hold(const std::wstring& path, const std::wstring& release, DWORD timeout) {
  const FileHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file)
    return Fail(L"cannot open \"" + path + L"\"");
  const FileHandle held(CreateFileW((release + L".held").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr));
  if (!held)
    return Fail(L"cannot create \"" + release + L".held\"");
  for (DWORD waited = 0; waited < timeout; waited += 50) {
    if (GetFileAttributesW(release.c_str()) != INVALID_FILE_ATTRIBUTES)
      return 0;
    Sleep(50);
  }
  return Fail(L"nobody released \"" + path + L"\"");
}

int Usage() {
  std::fputs(
      "usage: driver "
      "wait|waitgone|click|waitbutton|check|select|settext|menu|msgbox|regget|run|runhidden|hold|"
      "dump "
      "...\n",
      stderr);
  return 2;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2)
    return Usage();
  const std::wstring command = argv[1];

  if (command == L"dump")
    return Dump();
  if (command == L"wait" && argc >= 3) {
    if (WaitFor(TimeoutArg(argc, argv, 3), [&] { return FindTop(argv[2], false) != nullptr; }))
      return 0;
    return Fail(L"window not found: " + std::wstring(argv[2]));
  }
  if (command == L"waitgone" && argc >= 3) {
    if (WaitFor(TimeoutArg(argc, argv, 3),
                [&] { return !FindTop(argv[2], false) && !FindTop(argv[2], true); }))
      return 0;
    return Fail(L"window still there: " + std::wstring(argv[2]));
  }
  if ((command == L"click" || command == L"waitbutton") && argc >= 4) {
    HWND button = nullptr;
    const bool ready = WaitFor(TimeoutArg(argc, argv, 4), [&] {
      HWND top = FindTop(argv[2], false);
      button = top ? FindButton(top, argv[3]) : nullptr;
      return button && IsWindowVisible(button) && IsWindowEnabled(button);
    });
    if (!ready)
      return Fail(L"no enabled button \"" + std::wstring(argv[3]) + L"\" in \"" + argv[2] + L"\"");
    if (command == L"click")
      PostMessageW(button, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == L"check" && argc >= 5) {
    // A page shows its buttons and boxes one after another: on a slow machine
    // the box may come a moment after the button a script waited for.
    HWND box = nullptr;
    const bool shown = WaitFor(TimeoutArg(argc, argv, 5), [&] {
      HWND top = FindTop(argv[2], false);
      box = top ? FindButton(top, argv[3]) : nullptr;
      return box != nullptr;
    });
    if (!shown)
      return Fail(L"no check box \"" + std::wstring(argv[3]) + L"\"");
    const bool want = argv[4][0] == L'1';
    const auto checked = [box] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    if (checked() != want)
      SendMessageW(box, BM_CLICK, 0, 0);
    return checked() == want
               ? 0
               : Fail(L"the check box \"" + std::wstring(argv[3]) + L"\" did not change");
  }
  if ((command == L"select" && argc >= 4) || (command == L"settext" && argc >= 5) ||
      (command == L"menu" && argc >= 4)) {
    HWND top = FindTop(argv[2], false);
    if (!top)
      return Fail(L"window not found: " + std::wstring(argv[2]));
    if (command == L"select")
      return SelectEntry(top, argv[3]);
    if (command == L"settext")
      return SetText(top, argv[3], argv[4]);
    return ChooseMenuItem(top, argv[3]);
  }
  if (command == L"msgbox" && argc >= 4) {
    HWND box = nullptr;
    if (!WaitFor(TimeoutArg(argc, argv, 4),
                 [&] { return (box = FindTop(argv[2], true)) != nullptr; }))
      return Fail(L"no message box \"" + std::wstring(argv[2]) + L"\"");
    for (HWND child : Children(box))
      if (ClassOf(child) == L"Static" && !TextOf(child).empty())
        Print(L"text: " + TextOf(child));
    const std::wstring answer = argv[3];
    if (answer == L"none")  // only wait for the box and print its text
      return 0;
    const int id = answer == L"yes"      ? IDYES
                   : answer == L"no"     ? IDNO
                   : answer == L"cancel" ? IDCANCEL
                   : answer == L"retry"  ? IDRETRY
                                         : IDOK;
    HWND button = GetDlgItem(box, id);
    if (!button)
      return Fail(L"the box has no button " + answer);
    PostMessageW(button, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == L"regget" && argc >= 4)
    return RegGet(argv[2], argv[3]);
  if (command == L"run" && argc >= 3)
    return Run(argv[2]);
  if (command == L"hold" && argc >= 4)
    return Hold(argv[2], argv[3], argc >= 5 ? static_cast<DWORD>(_wtoi(argv[4])) : 120000);
  if (command == L"runhidden" && argc >= 4)
    return RunHidden(static_cast<DWORD>(_wtoi(argv[2])), argv[3]);
  return Usage();
}
