#include "TestPackage.h"

#include "formats/ScriptKeys.h"
#include "support/CodePage.h"
#include "support/Strings.h"

TestPackage::TestPackage() : programName(UniqueProgramName(L"Kovrin Test")) {}

TestPackage::TestPackage(const std::wstring& script, const std::string& texts) : TestPackage() {
  if (!script.empty())
    WriteTextFile(Folder() + script::kScriptFile, ToCp1251(script));
  if (!texts.empty())
    WriteTextFile(Folder() + script::kTextsFile, texts);
}

const std::string& TestPackage::AddFile(const std::wstring& name, int64_t size) {
  ++files_;
  const std::wstring source = dir_ / (L"source" + IntToText(files_));
  WritePatternFile(source, size, static_cast<unsigned>(files_ * 7 + 1));
  contents.push_back(ReadFileBytes(source));
  DeleteFileW(source.c_str());
  script_.WriteString(script::kOneFiles, script::kFileName + IntToText(files_), name);
  script_.WriteString(script::kOneFiles, script::kFileSize + IntToText(files_),
                      IntToText(static_cast<int32_t>(size)));
  return contents.back();
}

void TestPackage::AddShortcut(const PackageShortcut& shortcut) {
  const std::wstring n = IntToText(++shortcuts_);
  script_.WriteString(script::kOneShortCuts, script::kShortCutName + n, shortcut.Name);
  script_.WriteString(script::kOneShortCuts, script::kShortCutSavePath + n, shortcut.SavePath);
  script_.WriteString(script::kOneShortCuts, script::kShortCutFileName + n, shortcut.FileName);
  script_.WriteString(script::kOneShortCuts, script::kShortCutParams + n, shortcut.Params);
  script_.WriteString(script::kOneShortCuts, script::kShortCutFilePath + n, shortcut.FilePath);
}

void TestPackage::Write(int64_t payloadCut) {
  script_.WriteString(script::kMain, script::kProgramName, programName);
  script_.WriteString(script::kOneData, script::kCountOfFiles, IntToText(files_));
  script_.WriteString(script::kOneShortCuts, script::kCountOfShortCuts, IntToText(shortcuts_));
  script_.WriteString(script::kExtended, script::kUseUninstall, useUninstall ? L"1" : L"0");
  if (withChecksums)
    for (size_t i = 0; i < contents.size(); ++i)
      script_.WriteString(script::kOneFiles, L"FileCrc" + IntToText(static_cast<int32_t>(i + 1)),
                          CrcKeyText(contents[i]));
  script_.Save(Folder() + script::kScriptFile);
  std::string payload;
  for (const std::string& bytes : contents) payload += bytes;
  payload.resize(payload.size() - static_cast<size_t>(payloadCut));
  WritePayload(payload);
  WriteTextFile(Folder() + script::kUninstallerImage, "uninstaller image");
}

void TestPackage::WritePayload(const std::string& bytes) const {
  WriteTextFile(Folder() + script::kPayloadFile, bytes);
}

SetupState TestPackage::State() const {
  SetupState state;
  state.PackageFolder = Folder();
  state.ProgramName = programName;
  state.CompanyName = L"Тестовая компания";
  state.CountOfFiles = files_;
  state.CountOfShortCuts = shortcuts_;
  state.UseUninstall = useUninstall;
  state.WindowsFolder = windowsFolder;
  return state;
}

std::wstring UniqueProgramName(const wchar_t* stem) {
  static int counter = 0;
  return std::wstring(stem) + L" " + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
}
