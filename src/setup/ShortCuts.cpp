#include "setup/ShortCuts.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/Handle.h"
#include "support/QRegistry.h"

namespace {
// Names a caller may pass instead of a folder; their paths come from the user's
// shell-folder key. Matched byte for byte, case included.
constexpr const wchar_t* kShellFolderNames[] = {L"Desktop", L"Favorites",  L"Programs",
                                                L"SendTo",  L"Start Menu", L"Startup"};
constexpr wchar_t kShellFoldersKey[] =
    L"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

bool IsShellFolderName(const std::wstring& location) {
  for (const wchar_t* name : kShellFolderNames)
    if (location == name)
      return true;
  return false;
}

// The key is only opened, never created; anything missing gives an empty text.
std::wstring ReadShellFolder(const std::wstring& name) {
  const RegistryKey key = RegistryKey::Open(HKEY_CURRENT_USER, kShellFoldersKey);
  std::wstring value;
  if (!key || key.QueryText(name, value) != ERROR_SUCCESS)
    return {};
  return value;
}

// "Readme" -> "Readme.lnk"; names whose last three letters (or whole name, when
// four letters or fewer) read "LNK" in any case are kept as they are.
std::wstring WithLinkExtension(const std::wstring& name) {
  std::wstring tail = name.size() > 4 ? name.substr(name.size() - 3) : name;
  CharUpperBuffW(tail.data(), static_cast<DWORD>(tail.size()));
  return tail == L"LNK" ? name : name + L".lnk";
}

// Folder and file name joined without a doubled separator.
std::wstring InFolder(const std::wstring& folder, const std::wstring& name) {
  return !folder.empty() && folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

Failure ComFailure(const wchar_t* what, HRESULT result) {
  return SystemFailure(what, static_cast<unsigned long>(result));
}
}  // namespace

Expected<std::wstring> TShortCut::Save(const std::wstring& folder) const {
  if (const Expected<bool> made = TryForceFolder(folder); !made.Ok())
    return made.Error();
  std::wstring saved;
  if (const Expected<bool> created =
          CreateShellLink(folder, FileName, Params, FilePath, L"", Name, &saved);
      !created.Ok())
    return created.Error();
  return saved;
}

std::wstring TShortCut::LinkPath(const std::wstring& folder) const {
  return InFolder(folder, WithLinkExtension(Name));
}

Expected<bool> CreateShellLink(const std::wstring& location, const std::wstring& target,
                               const std::wstring& arguments, const std::wstring& workingFolder,
                               const std::wstring& subFolder, const std::wstring& linkName,
                               std::wstring* savedAs) {
  std::wstring linkFolder;
  if (IsShellFolderName(location)) {
    linkFolder = ReadShellFolder(location);
    if (!subFolder.empty())
      linkFolder += L"\\" + subFolder;
  }
  if (FolderExists(location))
    linkFolder = location;
  else if (linkFolder.empty())
    return false;
  if ((!FileExists(target) && !FolderExists(target)) || linkName.empty())
    return false;

  const std::wstring fileName = WithLinkExtension(linkName);

  ComPtr<IShellLinkW> link;
  // __uuidof: the identifiers come from the headers, not from libuuid, whose
  // one object brings some 40 KB of other identifiers along.
  HRESULT result = CoCreateInstance(__uuidof(ShellLink), nullptr, CLSCTX_INPROC_SERVER,
                                    __uuidof(IShellLinkW), link.PutVoid());
  if (FAILED(result))
    return ComFailure(L"Cannot create the shell link object", result);
  ComPtr<IPersistFile> file;
  result = link->QueryInterface(__uuidof(IPersistFile), file.PutVoid());
  if (FAILED(result))
    return ComFailure(L"The shell link object offers no IPersistFile", result);

  link->SetPath(target.c_str());
  link->SetArguments(arguments.c_str());
  link->SetWorkingDirectory(workingFolder.c_str());

  const std::wstring fullName = InFolder(linkFolder, fileName);
  if (file->Save(fullName.c_str(), FALSE) != S_OK)
    return false;
  if (savedAs)
    *savedAs = fullName;
  return true;
}
