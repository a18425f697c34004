#pragma once
// The example project of "Заполнить примером": the designer packaging itself.
// The main window applies these values to its pages as the author would.

#include <string>
#include <vector>

#include "formats/SetupProject.h"

struct ExampleProject {
  std::wstring ProgramName;
  std::wstring CompanyName;
  std::wstring InstallPath;
  std::wstring SetupFileName;
  std::wstring OutputFolder;  // expanded now
  std::vector<FileEntry> Files;
  int CompressionLevel = 5;
  std::wstring ReadMeRtfLine, ReadMeTextLine;
  std::wstring LicenseRtfLine, LicenseTextLine;
  ShortcutEntry Shortcut;
  std::wstring RunFileName;
  std::wstring SiteAddress;
};

// `designerFolder` is the designer's folder with its trailing "\".
ExampleProject MakeExampleProject(const std::wstring& designerFolder);
