#include "BuildFixture.h"

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

std::vector<size_t> RecordingObserver::PositionsOf(BuildEvent::Kind kind) const {
  std::vector<size_t> found;
  for (size_t i = 0; i < events.size(); ++i)
    if (events[i].kind == kind)
      found.push_back(i);
  return found;
}

BuildFixture::BuildFixture()
    : designer(root / L"designer\\"),
      sources(root / L"sources"),
      build(root / L"temp\\Kovrin"),
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
