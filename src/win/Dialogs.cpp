#include "win/Dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/Handle.h"
#include "win/Application.h"
#include "win/Layout.h"

int SystemDialogs::Ask(std::wstring_view, const std::wstring& text, const std::wstring& caption,
                       unsigned style) {
  return MessageBoxW(ApplicationWindow(), text.c_str(), caption.c_str(), style);
}

bool SystemDialogs::OpenFiles(HWND owner, const std::wstring& filter, bool multiSelect,
                              std::vector<std::wstring>& files) {
  // Room for thousands of names; a larger selection is refused with a message below.
  std::wstring buffer(1 << 20, L'\0');
  OPENFILENAMEW ofn{sizeof ofn};
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  // A folder asked for once; afterwards the dialog returns to the last one used.
  std::wstring initialFolder = std::exchange(openFolder_, std::wstring());
  ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
              (multiSelect ? OFN_ALLOWMULTISELECT : 0);
  if (!GetOpenFileNameW(&ofn)) {
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
      Raise(KovrinError(
          L"Выбрано слишком много файлов сразу. Добавьте их по частям или целой папкой."));
    return false;
  }
  files.clear();
  // Multi-select gives the folder, then the names, each zero-terminated.
  const wchar_t* p = buffer.c_str();
  std::wstring first = p;
  p += first.size() + 1;
  if (!*p) {
    files.push_back(first);
    return true;
  }
  while (*p) {
    std::wstring name = p;
    files.push_back(WithTrailingBackslash(first) + name);
    p += name.size() + 1;
  }
  return true;
}

bool SystemDialogs::SaveFile(HWND owner, const std::wstring& filter, const std::wstring& extension,
                             std::wstring& file) {
  std::wstring buffer = file;
  buffer.resize(std::max<size_t>(buffer.size() + 1, 32768), L'\0');
  OPENFILENAMEW ofn{sizeof ofn};
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
              OFN_NOREADONLYRETURN;
  if (!GetSaveFileNameW(&ofn))
    return false;
  file = buffer.c_str();
  return true;
}

namespace {
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED && data)
    SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

// Disables the program's other top-level windows while a modal shell dialog is open.
class DisabledWindows {
 public:
  DisabledWindows() {
    EnumThreadWindows(GetCurrentThreadId(), &DisabledWindows::Disable,
                      reinterpret_cast<LPARAM>(this));
  }
  ~DisabledWindows() {
    for (HWND w : disabled_) EnableWindow(w, TRUE);
  }

 private:
  static BOOL CALLBACK Disable(HWND w, LPARAM self) {
    if (IsWindowVisible(w) && IsWindowEnabled(w)) {
      reinterpret_cast<DisabledWindows*>(self)->disabled_.push_back(w);
      EnableWindow(w, FALSE);
    }
    return TRUE;
  }
  std::vector<HWND> disabled_;
};

struct PidlDeleter {
  void operator()(ITEMIDLIST* pidl) const { CoTaskMemFree(pidl); }
};
using Pidl = std::unique_ptr<ITEMIDLIST, PidlDeleter>;
}  // namespace

bool SystemDialogs::BrowseForFolder(HWND owner, const std::wstring& title, const std::wstring& root,
                                    std::wstring& folder) {
  if (!FolderExists(folder))
    folder.clear();
  Pidl rootPidl;
  if (!root.empty()) {
    ComPtr<IShellFolder> desktop;
    if (SUCCEEDED(SHGetDesktopFolder(desktop.Put()))) {
      ITEMIDLIST* parsed = nullptr;
      std::wstring path = root;
      if (SUCCEEDED(
              desktop->ParseDisplayName(owner, nullptr, path.data(), nullptr, &parsed, nullptr)))
        rootPidl.reset(parsed);
    }
  }
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = rootPidl.get();
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = &BrowseCallback;
  info.lParam = folder.empty() ? 0 : reinterpret_cast<LPARAM>(folder.c_str());

  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  Pidl chosen;
  {
    DisabledWindows disabled;
    chosen.reset(SHBrowseForFolderW(&info));
  }
  SetErrorMode(oldMode);
  if (!chosen)
    return false;
  wchar_t path[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(chosen.get(), path))
    return false;
  folder = path;
  if (folder.size() > 3)
    folder = WithoutTrailingBackslash(folder);
  return true;
}

std::wstring DialogFilter(std::wstring_view pipeSeparated) {
  std::wstring filter(pipeSeparated);
  for (wchar_t& c : filter)
    if (c == L'|')
      c = L'\0';
  filter.push_back(L'\0');  // with the string's own terminator: the closing double zero
  return filter;
}

COLORREF ResolveColor(int32_t colorValue) {
  uint32_t value = static_cast<uint32_t>(colorValue);
  if ((value & 0xFF000000u) == 0xFF000000u)
    return GetSysColor(static_cast<int>(value & 0xFFu));
  return static_cast<COLORREF>(value & 0x00FFFFFFu);
}

bool SystemDialogs::ChooseFont(HWND owner, FontChoice& font) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(font.Size, SystemDpi(), 72);
  lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.Italic;
  lf.lfUnderline = font.Underline;
  lf.lfStrikeOut = font.StrikeOut;
  lf.lfCharSet = RUSSIAN_CHARSET;
  lstrcpynW(lf.lfFaceName, font.Name.c_str(), LF_FACESIZE);
  CHOOSEFONTW cf{sizeof cf};
  cf.hwndOwner = owner;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  cf.rgbColors = ResolveColor(static_cast<int32_t>(font.Color));
  if (!::ChooseFontW(&cf))
    return false;
  font.Name = lf.lfFaceName;
  font.Size = cf.iPointSize / 10;
  font.Color = cf.rgbColors;
  font.Bold = lf.lfWeight >= FW_BOLD;
  font.Italic = lf.lfItalic != 0;
  font.Underline = lf.lfUnderline != 0;
  font.StrikeOut = lf.lfStrikeOut != 0;
  return true;
}
