#pragma once
// A designer folder, sources, a build folder and an output folder of their own
// for each test, and an observer that records what the build run reports.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ExampleProject.h"
#include "TestUtil.h"
#include "designer/BuildRun.h"

struct BuildEvent {
  enum Kind { Status, Position, Begin, End, Pump, ArchiverStart } kind;
  std::wstring text;  // Status
  int value = 0;      // Position, or the stage number
};

class RecordingObserver : public BuildObserver {
 public:
  void SetStatus(const std::wstring& text) override {
    events.push_back({BuildEvent::Status, text});
    if (!cancelOnStatus.empty() && text == cancelOnStatus)
      cancelAtPoll = polls + 20;
  }
  void SetPosition(int position) override {
    events.push_back({BuildEvent::Position, {}, position});
  }
  void StageBegins(BuildStage stage) override {
    events.push_back({BuildEvent::Begin, {}, static_cast<int>(stage)});
    if (onStage)
      onStage(stage);
  }
  void StageEnds(BuildStage stage) override {
    events.push_back({BuildEvent::End, {}, static_cast<int>(stage)});
  }
  void ArchiverStarts() override { events.push_back({BuildEvent::ArchiverStart}); }
  void Pump() override { ++pumps; }
  // The run asks at every checkpoint; the author's "Отмена" is the answer.
  bool Cancelled() override {
    ++polls;
    if (cancelAtPoll > 0 && polls >= cancelAtPoll)
      cancel = true;
    return cancel;
  }

  std::vector<std::wstring> Statuses() const;
  // Positions reported between the beginning and the end of a stage.
  std::vector<int> PositionsIn(BuildStage stage) const;
  // "B1 E1 B2 ..." for the stage events in order.
  std::string StageTrace() const;
  // The events of that kind, in order.
  std::vector<size_t> PositionsOf(BuildEvent::Kind kind) const;

  std::vector<BuildEvent> events;
  int pumps = 0;
  int polls = 0;
  int cancelAtPoll = 0;         // > 0: ask to stop from that checkpoint on
  std::wstring cancelOnStatus;  // ask to stop some checkpoints after this status
  bool cancel = false;
  std::function<void(BuildStage)> onStage;
};

class BuildFixture {
 public:
  BuildFixture();

  BuildFolders Folders() const { return {designer, build}; }
  // A source file of `size` pattern bytes in the sources folder, as a Files row.
  FileEntry AddSource(const std::wstring& relativeName, int64_t size, unsigned seed);

  TempDir root;
  std::wstring designer;  // with a trailing "\" as the designer gives it
  std::wstring sources;
  std::wstring build;
  std::wstring output;
};

// The example project with its files in the fixture's designer folder.
inline SetupProject ExampleProjectIn(const BuildFixture& fixture) {
  return ExampleLikeProject(fixture.designer, fixture.output + L"\\");
}

// An empty project writing into the fixture's output folder, run with a recording observer.
class BuildRunFixture : public ::testing::Test {
 protected:
  BuildResult Run() { return RunBuild(project, fx.Folders(), observer); }

  BuildFixture fx;
  SetupProject project = Empty(fx.output);
  RecordingObserver observer;

 private:
  static SetupProject Empty(const std::wstring& output) {
    SetupProject p;
    p.OutputFolder = output;
    return p;
  }
};
