#include "BuildFixture.h"

#include <algorithm>

std::vector<std::wstring> RecordingObserver::Statuses() const {
  std::vector<std::wstring> texts;
  for (const BuildEvent& event : events)
    if (event.kind == BuildEvent::Status)
      texts.push_back(event.text);
  return texts;
}

std::vector<int> RecordingObserver::PositionsIn(BuildStage stage) const {
  std::vector<int> positions;
  bool inside = false;
  for (const BuildEvent& event : events) {
    if (event.kind == BuildEvent::Begin && event.value == static_cast<int>(stage))
      inside = true;
    else if (event.kind == BuildEvent::End && event.value == static_cast<int>(stage))
      inside = false;
    else if (inside && event.kind == BuildEvent::Position)
      positions.push_back(event.value);
  }
  return positions;
}

std::string RecordingObserver::StageTrace() const {
  std::string trace;
  for (const BuildEvent& event : events) {
    if (event.kind != BuildEvent::Begin && event.kind != BuildEvent::End)
      continue;
    if (!trace.empty())
      trace += ' ';
    trace += (event.kind == BuildEvent::Begin ? 'B' : 'E');
    trace += std::to_string(event.value);
  }
  return trace;
}

BuildFixture::BuildFixture()
    : designer(root / L"designer\\"), sources(root / L"sources"), build(root / L"temp\\Kovrin"),
      output(root / L"out") {
  CreateDirectoryW(designer.c_str(), nullptr);
  CreateDirectoryW(sources.c_str(), nullptr);
  WritePatternFile(designer + L"Kovrin.dat", 450001, 1);  // two launcher blocks and a piece
  WritePatternFile(designer + L"uninst.dat", 20000, 2);
  WritePatternFile(designer + L"setup.ico", 766, 3);
  WritePatternFile(designer + L"Kovrin.exe", 70000, 4);
  WriteTextFile(designer + L"help.html", "<html><body>help</body></html>");
}

FileEntry BuildFixture::AddSource(const std::wstring& relativeName, int64_t size, unsigned seed) {
  WritePatternFile(sources + L"\\" + relativeName, size, seed);
  return FileEntry{relativeName, sources, size};
}

std::vector<std::wstring> BuildFixture::FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE)
    return names;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      names.push_back(entry.cFileName);
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

SetupProject ExampleProjectIn(const BuildFixture& fixture) {
  SetupProject p;
  p.ProgramName = L"Kovrin";
  p.CompanyName = L"Morvel Labs";
  p.InstallPath = L"%ProgramFiles%\\%CompanyName%";
  p.SetupFileName = L"Setup.exe";
  p.OutputFolder = fixture.output + L"\\";  // ends in "\" like "C:\MySetup\"
  for (const wchar_t* name : {L"Kovrin.exe", L"Kovrin.dat", L"Setup.ico", L"help.html"})
    p.Files.push_back(FileEntry{name, fixture.designer, 0});
  p.UseWinRar = false;
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
  p.RunFileName = L"%InstallPath%\\Kovrin.exe";
  p.UseGoSite = true;
  p.SiteAddress = L"https://morvel-labs.example/kovrin";
  return p;
}
