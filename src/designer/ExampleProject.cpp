#include "designer/ExampleProject.h"

#include "designer/Product.h"
#include "formats/LinkFolders.h"
#include "support/Environment.h"

ExampleProject MakeExampleProject(const std::wstring& designerFolder) {
  ExampleProject example;
  example.ProgramName = L"Kovrin";
  example.CompanyName = L"Morvel Labs";
  example.InstallPath = L"%ProgramFiles%\\%CompanyName%";
  example.SetupFileName = L"Setup.exe";
  example.OutputFolder = ExpandPathVariables(L"%homedrive%\\MySetup\\");
  // Sizes are not read from disk: the rows say 0 until a build measures them.
  for (const wchar_t* name : {L"Kovrin.exe", L"Kovrin.dat", L"Setup.ico", L"help.html"})
    example.Files.push_back(FileEntry{name, designerFolder, 0});
  example.CompressionLevel = 5;
  example.ReadMeRtfLine = L"Текст информации в формате RTF";
  example.ReadMeTextLine = L"Текст информации в формате TXT";
  example.LicenseRtfLine = L"Текст лицензии в формате RTF";
  example.LicenseTextLine = L"Текст лицензии в формате TXT";
  example.Shortcut = ShortcutEntry{L"Kovrin", std::wstring(kDesktopToken),
                                   L"%InstallPath%\\Kovrin.exe", L"", L"%InstallPath%"};
  example.RunFileName = L"%InstallPath%\\Kovrin.exe";
  example.SiteAddress = kMakerSite;
  return example;
}
