#pragma once
// The build run: turns a project into an installation package. Every package
// file is written first into the build folder, then moved into the output
// folder or handed to the archiver; the build folder is emptied at the end.

#include <string>

#include "formats/SetupProject.h"
#include "support/Error.h"
#include "support/Progress.h"

// The four stages that the build dialog marks, in the order they run.
enum class BuildStage { Script = 1, Payload = 2, Launcher = 3, Package = 4 };
// The stage's row text in the build dialog ("Создание INI файла", …).
const wchar_t* BuildStageText(BuildStage stage);

// What the run reports: status line, bar (0..100), stage rows, message pumping
// after each block, and whether the author asked to stop.
class BuildObserver : public ProgressSink {
 public:
  virtual void StageBegins(BuildStage /*stage*/) {}
  virtual void StageEnds(BuildStage /*stage*/) {}
  // The archive step hands the package to WinRAR from here on: what fails later
  // is the archiver's doing.
  virtual void ArchiverStarts() {}
};

struct BuildFolders {
  std::wstring DesignerFolder;  // holds Kovrin.dat, uninst.dat, setup.ico; trailing "\"
  std::wstring BuildFolder;     // temporary work folder, no trailing "\"
};

// %Temp% + "\Kovrin"; the system's temporary folder when "Temp" is unset.
std::wstring BuildFolderFromEnvironment();

enum class BuildOutcome { Done, Cancelled, Failed };

// The steps whose failures the command-line build tells apart.
enum class BuildFailure { Other, Signing, FolderRule, Source };

// A listed source file that cannot be opened or is too large for the package:
// the project's fault, not the build's. Raised while the payload is written,
// where each source is opened (once) for its bytes.
class SourceFileError : public KovrinError {
 public:
  using KovrinError::KovrinError;
};

struct BuildResult {
  BuildOutcome Outcome = BuildOutcome::Done;
  std::wstring Message;  // the error's text, or the cancellation notice
  BuildFailure Failure = BuildFailure::Other;
};

inline constexpr wchar_t kBuildDoneText[] = L"Установочная программа создана.";
inline constexpr wchar_t kBuildCancelledText[] = L"Создание программы установки отменено.";

// Runs the whole build. The project may change: a sort by extension reorders
// its files, and each file's Size becomes the byte count written into the
// payload, so the Files page can show both afterwards. A failure leaves the
// build folder as it was for inspection; a cancel empties it. Neither leaves a
// partly written package in the output folder.
BuildResult RunBuild(SetupProject& project, const BuildFolders& folders, BuildObserver& observer);
