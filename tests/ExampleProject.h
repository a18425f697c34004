#pragma once
// The designer's example project ("Заполнить примером") with its files taken
// from `folder` and the Compression box cleared.

#include "formats/SetupProject.h"

inline SetupProject ExampleLikeProject(const std::wstring& folder = L"C:\\Kovrin\\",
                                       const std::wstring& output = L"C:\\MySetup\\") {
  SetupProject p;
  p.ProgramName = L"Kovrin";
  p.CompanyName = L"Morvel Labs";
  p.InstallPath = L"%ProgramFiles%\\%CompanyName%";
  for (const wchar_t* name : {L"Kovrin.exe", L"Kovrin.dat", L"Setup.ico", L"help.html"})
    p.Files.push_back(FileEntry{name, folder, 0});
  p.OutputFolder = output;
  p.CompressionLevel = 5;
  p.UseReadMe = true;
  p.ReadMeRtf = "{\\rtf1\\ansi\\ansicpg1251 \\'d2\\'e5\\'ea\\'f1\\'f2 readme\\par}";
  p.ReadMeText = {L"Текст информации в формате TXT"};
  p.UseLicense = true;
  p.LicenseRtf = "{\\rtf1\\ansi license text, somewhat longer\\par}";
  p.LicenseText = {L"Текст лицензии в формате TXT"};
  p.Shortcuts.push_back(
      ShortcutEntry{L"Kovrin", L"%Desktop%", L"%InstallPath%\\Kovrin.exe", L"", L"%InstallPath%"});
  p.UseRun = true;
  p.UseGoSite = true;
  p.RunFileName = L"%InstallPath%\\Kovrin.exe";
  p.SiteAddress = L"https://morvel-labs.example/kovrin";
  return p;
}
