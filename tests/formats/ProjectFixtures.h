#pragma once
// Projects shaped like the ones the designer builds, for format tests.

#include "formats/SetupProject.h"

inline SetupProject ExampleLikeProject() {
  SetupProject p;
  p.ProgramName = L"Kovrin";
  p.CompanyName = L"Morvel Labs";
  p.InstallPath = L"%ProgramFiles%\\%CompanyName%";
  for (const wchar_t* name : {L"Kovrin.exe", L"Kovrin.dat", L"Setup.ico", L"help.html"})
    p.Files.push_back(FileEntry{name, L"C:\\Kovrin\\", 0});
  p.UseReadMe = true;
  p.ReadMeRtf = "{\\rtf1\\ansi readme\\par}";
  p.UseLicense = true;
  p.LicenseRtf = "{\\rtf1\\ansi license text\\par}";
  p.Shortcuts.push_back(ShortcutEntry{L"Kovrin", L"%Desktop%", L"%InstallPath%\\Kovrin.exe", L"", L"%InstallPath%"});
  p.UseRun = true;
  p.UseGoSite = true;
  p.RunFileName = L"%InstallPath%\\Kovrin.exe";
  p.SiteAddress = L"https://morvel-labs.example/kovrin";
  return p;
}
