#include "designer/SingleLineValues.h"

#include <string>

#include "formats/ProjectValues.h"
#include "support/Error.h"

namespace {
void Check(const std::wstring& value, const std::wstring& key) {
  const size_t at = ControlCharacterAt(value);
  if (at != std::wstring::npos)
    throw KovrinError(L"В значении " + key + L" управляющий знак " + CharacterCode(value[at]) +
                      L": это значение — одна строка сценария установки. Уберите его.");
}

std::wstring Numbered(const wchar_t* key, size_t index) {
  return std::wstring(key) + L" (" + std::to_wstring(index + 1) + L")";
}
}  // namespace

void CheckSingleLineValues(const SetupProject& project) {
  Check(project.ProgramName, L"ProgramName");
  Check(project.CompanyName, L"CompanyName");
  Check(project.ProductVersion, L"ProductVersion");
  Check(project.InstallPath, L"InstallPath");
  Check(project.SetupFileName, L"SetupFileName");
  Check(project.OutputFolder, L"OutputFolder");
  for (size_t i = 0; i < project.Files.size(); ++i)
    Check(project.Files[i].RelativeName, Numbered(L"File", i));
  Check(project.ReadMeFont.Name, L"FontName");
  Check(project.LicenseFont.Name, L"FontName");
  for (size_t i = 0; i < project.Shortcuts.size(); ++i) {
    const ShortcutEntry& shortcut = project.Shortcuts[i];
    Check(shortcut.ShortCutName, Numbered(L"ShortCutName", i));
    Check(shortcut.ShortCutSavePath, Numbered(L"ShortCutSavePath", i));
    Check(shortcut.ShortCutFileName, Numbered(L"ShortCutFileName", i));
    Check(shortcut.ShortCutParams, Numbered(L"ShortCutParams", i));
    Check(shortcut.ShortCutFilePath, Numbered(L"ShortCutFilePath", i));
  }
  Check(project.RunFileName, L"RunFileName");
  Check(project.SiteAddress, L"SiteAddress");
}
