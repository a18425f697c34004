#include "designer/SingleFileStep.h"

#include "designer/SigningStep.h"

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
  // A program to sign is packed in the build folder and published once signed.
  const bool sign = !context.Project.SignCommand.empty();
  job.OutputPath =
      sign ? context.InBuild(kPackedSingleFile) : context.InOutput(context.Project.SetupFileName);
  PackSingleFile(job, context.Observer);
  context.Observer.SetPosition(0);
  if (!sign)
    return;
  SignProgram(context, job.OutputPath);
  PublishFiles(context, {{kPackedSingleFile, context.Project.SetupFileName}});
}
