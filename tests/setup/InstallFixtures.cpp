#include "InstallFixtures.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "support/CodePage.h"
#include "support/Handle.h"

std::wstring UninstallScriptText(const std::wstring& installFolder) {
  return FromCp1251(ReadFileBytes(installFolder + L"\\Uninst.ini"));
}

LinkFields ReadLink(const std::wstring& linkPath) {
  ComPtr<IShellLinkA> link;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid());
  ComPtr<IPersistFile> file;
  link->QueryInterface(IID_IPersistFile, file.PutVoid());
  LinkFields fields;
  if (FAILED(file->Load(linkPath.c_str(), STGM_READ)))
    return fields;
  char text[MAX_PATH * 2] = "";
  auto wide = [](const char* ansi) {
    wchar_t out[MAX_PATH * 2] = L"";
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, out, MAX_PATH * 2);
    return std::wstring(out);
  };
  link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
  fields.Target = wide(text);
  text[0] = 0;
  link->GetArguments(text, sizeof text);
  fields.Arguments = wide(text);
  text[0] = 0;
  link->GetWorkingDirectory(text, sizeof text);
  fields.WorkingFolder = wide(text);
  return fields;
}
