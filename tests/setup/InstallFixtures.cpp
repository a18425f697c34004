#include "InstallFixtures.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "support/CodePage.h"
#include "support/Error.h"
#include "support/Handle.h"

std::wstring InstallError(SetupState& state, const InstallChoices& choices, InstallEvents& events) {
  const Status installed = RunInstall(state, choices, events);
  return installed ? L"" : installed.Error().Message();
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
