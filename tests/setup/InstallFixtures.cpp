#include "InstallFixtures.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

#include "support/CodePage.h"
#include "support/Error.h"
#include "support/Handle.h"

std::wstring InstallError(SetupState& state, const InstallChoices& choices, InstallEvents& events) {
  try {
    RunInstall(state, choices, events);
  } catch (const KovrinError& error) {
    return error.Message();
  } catch (...) {
    return L"(stopped without a message)";
  }
  return L"";
}

namespace {
void Walk(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..")
      continue;
    out.push_back(prefix + name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      Walk(folder + L"\\" + name, prefix + name + L"\\", out);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}
}  // namespace

std::vector<std::wstring> TreeOf(const std::wstring& folder) {
  std::vector<std::wstring> tree;
  Walk(folder, L"", tree);
  std::sort(tree.begin(), tree.end());
  return tree;
}

std::wstring UninstallScriptText(const std::wstring& installFolder) {
  return FromCp1251(ReadFileBytes(installFolder + L"\\Uninst.ini"));
}

LinkFields ReadLink(const std::wstring& linkPath) {
  ComPtr<IShellLinkW> link;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid());
  ComPtr<IPersistFile> file;
  link->QueryInterface(IID_IPersistFile, file.PutVoid());
  LinkFields fields;
  if (FAILED(file->Load(linkPath.c_str(), STGM_READ)))
    return fields;
  wchar_t text[MAX_PATH * 2] = L"";
  link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
  fields.Target = text;
  text[0] = 0;
  link->GetArguments(text, MAX_PATH * 2);
  fields.Arguments = text;
  text[0] = 0;
  link->GetWorkingDirectory(text, MAX_PATH * 2);
  fields.WorkingFolder = text;
  return fields;
}
