#include "InstallPackage.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "formats/ScriptKeys.h"
#include "support/CodePage.h"
#include "support/Handle.h"
#include "support/Strings.h"

InstallPackage::InstallPackage() : programName(UniqueProgramName(L"Kovrin Test")) {}

const std::string& InstallPackage::AddFile(const std::wstring& name, int64_t size) {
  ++files_;
  const std::wstring source = dir_ / (L"source" + IntToText(files_));
  WritePatternFile(source, size, static_cast<unsigned>(files_ * 7 + 1));
  contents.push_back(ReadFileBytes(source));
  DeleteFileW(source.c_str());
  script_.WriteString(script::kOneFiles, script::kFileName + IntToText(files_), name);
  script_.WriteString(script::kOneFiles, script::kFileSize + IntToText(files_), IntToText(static_cast<int32_t>(size)));
  return contents.back();
}

void InstallPackage::AddShortcut(const PackageShortcut& shortcut) {
  ++shortcuts_;
  const std::wstring n = IntToText(shortcuts_);
  script_.WriteString(script::kOneShortCuts, script::kShortCutName + n, shortcut.Name);
  script_.WriteString(script::kOneShortCuts, script::kShortCutSavePath + n, shortcut.SavePath);
  script_.WriteString(script::kOneShortCuts, script::kShortCutFileName + n, shortcut.FileName);
  script_.WriteString(script::kOneShortCuts, script::kShortCutParams + n, shortcut.Params);
  script_.WriteString(script::kOneShortCuts, script::kShortCutFilePath + n, shortcut.FilePath);
}

void InstallPackage::Write(int64_t payloadCut) {
  script_.WriteString(script::kMain, script::kProgramName, programName);
  script_.WriteString(script::kOneData, script::kCountOfFiles, IntToText(files_));
  script_.WriteString(script::kOneShortCuts, script::kCountOfShortCuts, IntToText(shortcuts_));
  script_.WriteString(script::kExtended, script::kUseUninstall, useUninstall ? L"1" : L"0");
  script_.Save(Folder() + script::kScriptFile);
  std::string payload;
  for (const std::string& bytes : contents)
    payload += bytes;
  payload.resize(payload.size() - static_cast<size_t>(payloadCut));
  WriteTextFile(Folder() + script::kPayloadFile, payload);
  WriteTextFile(Folder() + script::kUninstallerImage, "uninstaller image");
}

SetupState InstallPackage::State() const {
  SetupState state;
  state.PackageFolder = Folder();
  state.ProgramName = programName;
  state.CompanyName = L"Тестовая компания";
  state.CountOfFiles = files_;
  state.CountOfShortCuts = shortcuts_;
  state.UseUninstall = useUninstall;
  return state;
}

std::wstring UniqueProgramName(const wchar_t* stem) {
  static int counter = 0;
  return std::wstring(stem) + L" " + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
}

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
