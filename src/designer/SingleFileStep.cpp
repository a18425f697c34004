#include "designer/SingleFileStep.h"

std::vector<PackedFile> SingleFilePackage(const SetupProject& project,
                                          const std::wstring& buildFolder) {
  std::vector<PackedFile> files;
  for (const PackageFile& file : PackageFiles(project))
    files.push_back({buildFolder + L"\\" + file.BuildName, file.PackageName});
  return files;
}

void BuildSingleFile(BuildContext& context) {
  context.Status(kSingleFileStatus);
  context.Checkpoint();
  SingleFileJob job;
  job.StubPath = context.InDesigner(kSelfExtractorImage);
  job.Files = SingleFilePackage(context.Project, context.Folders.BuildFolder);
  job.LauncherName = context.Project.SetupFileName;
  job.OutputPath = context.InOutput(context.Project.SetupFileName);
  PackSingleFile(job, context.Observer);
  context.Observer.SetPosition(0);
}
