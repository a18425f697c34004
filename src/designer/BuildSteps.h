#pragma once
// The steps of the build run and the state they share. Each step reports to the
// run's observer and gives way to pending messages after every block; a cancel
// request raises OperationCancelled (kBuildCancelledText) at the next such point.

#include <string>
#include <vector>

#include "designer/BuildRun.h"
#include "formats/Payload.h"

struct BuildContext {
  BuildContext(SetupProject& project, const BuildFolders& folders, BuildObserver& observer)
      : Project(project), Folders(folders), Observer(observer), Progress(observer) {}

  SetupProject& Project;
  const BuildFolders& Folders;
  BuildObserver& Observer;
  ThrottledProgress Progress;      // the observer, letting messages run on a clock
  CopyBuffer Buffer;               // the one copy buffer of the run
  std::vector<uint32_t> FileCrcs;  // CRC-32 of each file as written into data.dat
  bool HasTexts = false;           // Setup.dat was written; TextsCrc is its CRC-32
  uint32_t TextsCrc = 0;

  // Folder, "\" and name, joined as typed: a folder text that ends in "\" gives a
  // doubled separator, which the file system accepts.
  std::wstring InBuild(const std::wstring& name) const {
    return Folders.BuildFolder + L"\\" + name;
  }
  std::wstring InOutput(const std::wstring& name) const {
    return Project.OutputFolder + L"\\" + name;
  }
  std::wstring InDesigner(const std::wstring& name) const;

  void Status(const std::wstring& text) { Observer.SetStatus(text); }
  // Lets pending messages run (on a clock, see ThrottledProgress), then stops the run
  // if the author asked to.
  void Checkpoint();
  // Bar position of `done` out of `total`, rounded and kept within 0..100.
  void ShowShare(int64_t done, int64_t total);
};

// Refuses a setup file name that would overwrite another package file or that
// names a folder ("..\x.exe", "C:x.exe").
void CheckSetupFileName(const std::wstring& setupFileName);
// Refuses an output folder that is the build folder: its clean-up would delete the package.
void CheckOutputFolder(const std::wstring& outputFolder, const std::wstring& buildFolder);
// Creates the folder with its parents or raises "Unable to create directory".
void CreateFolderOrThrow(const std::wstring& folder);
// Refuses a file whose relative name Windows-1251 cannot hold: the script would
// carry "?" in its place (a project file or an edited row can bring one).
void CheckFileNames(const SetupProject& project);

// Appends every listed file to data.dat in list order. Each file's Size becomes
// the number of bytes taken from it, measured when it was opened, and its CRC-32,
// taken from the same blocks, goes to context.FileCrcs.
void WritePayload(BuildContext& context);
// Completes the written script with what the package really holds: FileSize<n>
// and SummarySize rewritten with the sizes written, FileCrc<n> for every file
// and TextsCrc when Setup.dat was written.
void RecordPayloadInScript(BuildContext& context, const std::wstring& scriptPath);
// The launcher (a copy of Kovrin.dat named SetupFileName) and Setup.dat, whose
// CRC-32 goes to context.TextsCrc.
void WriteLauncher(BuildContext& context);
// uninst.dat into the build folder when the project installs the uninstaller.
void CopyUninstaller(BuildContext& context);
// Moves the package into the output folder: every file first under a temporary
// name, then all of them into place, each old file set aside until the last is
// in. A cancel or an error at any point, the last rename included, leaves the
// previous package there whole: what was placed goes, what was set aside comes
// back, so the folder never holds a new data.dat beside an old script.
void PublishPackage(BuildContext& context);
// The package's files as (name in the build folder, name in the package).
struct PackageFile {
  std::wstring BuildName;
  std::wstring PackageName;
};
std::vector<PackageFile> PackageFiles(const SetupProject& project);
// Moves these files of the build folder into the output folder, as PublishPackage does.
void PublishFiles(BuildContext& context, const std::vector<PackageFile>& files);
