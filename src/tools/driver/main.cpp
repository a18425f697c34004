// driver: drives a program's windows from a shell script, as a person would.
//   driver wait <title> [ms]              a visible top-level window appears
//   driver waitgone <title> [ms]          no window of that title is left
//   driver click <title> <caption|#id> [ms]
//                                         waits for the button to be visible and
//                                         enabled, then clicks it (posted, so a
//                                         box it opens never blocks the driver)
//   driver waitbutton <title> <caption|#id> [ms]
//                                         the same wait, without the click
//   driver check <title> <caption> <0|1>  sets a check box, as a click would
//   driver msgbox <caption> <yes|no|ok|cancel|none> [ms]
//                                         answers a message box (none: leaves it
//                                         open); prints its text
//   driver regget <key under HKLM> <value>
//                                         prints a REG_SZ value of HKEY_LOCAL_MACHINE
//   driver run <command line>             starts it, waits, returns its exit code
//   driver dump                           lists visible top-level windows and texts
// Texts are printed as UTF-8. Exit status: 0 done, 1 not found or timed out, 2 usage.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/Handle.h"

namespace {
constexpr DWORD kDefaultTimeout = 30000;

void Print(const std::wstring& text) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[4096] = L"";
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &result);
  return buffer;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

// A button's caption as the user reads it: without the "&" of its access key.
std::wstring Caption(HWND window) {
  std::wstring text = TextOf(window);
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] != L'&' || (i + 1 < text.size() && text[i + 1] == L'&' && ++i))
      out += text[i];
  return out;
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

int Fail(const std::wstring& text) {
  Print(L"driver: " + text);
  return 1;
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
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return Fail(L"cannot start " + commandLine);
  KernelHandle processHandle(process.hProcess);
  KernelHandle threadHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
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
  if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return Fail(L"no text value " + name);
  Print(value);
  return 0;
}

int Usage() {
  std::fputs("usage: driver wait|waitgone|click|waitbutton|check|msgbox|regget|run|dump ...\n", stderr);
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
    if (WaitFor(TimeoutArg(argc, argv, 3), [&] { return !FindTop(argv[2], false) && !FindTop(argv[2], true); }))
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
    HWND top = FindTop(argv[2], false);
    HWND box = top ? FindButton(top, argv[3]) : nullptr;
    if (!box)
      return Fail(L"no check box \"" + std::wstring(argv[3]) + L"\"");
    const bool want = argv[4][0] == L'1';
    if ((SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != want)
      SendMessageW(box, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == L"msgbox" && argc >= 4) {
    HWND box = nullptr;
    if (!WaitFor(TimeoutArg(argc, argv, 4), [&] { return (box = FindTop(argv[2], true)) != nullptr; }))
      return Fail(L"no message box \"" + std::wstring(argv[2]) + L"\"");
    for (HWND child : Children(box))
      if (ClassOf(child) == L"Static" && !TextOf(child).empty())
        Print(L"text: " + TextOf(child));
    const std::wstring answer = argv[3];
    if (answer == L"none")  // only wait for the box and print its text
      return 0;
    const int id = answer == L"yes" ? IDYES : answer == L"no" ? IDNO : answer == L"cancel" ? IDCANCEL : IDOK;
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
  return Usage();
}
