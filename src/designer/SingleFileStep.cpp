#include "designer/SingleFileStep.h"

#include "designer/SigningStep.h"
#include "formats/ScriptKeys.h"
#include "formats/SetupScriptReader.h"
#include "support/Error.h"
#include "support/ProfileFile.h"

std::vector<uint64_t> PayloadParts(const std::wstring& scriptPath) {
  const ProfileFile script = ProfileFile::Load(scriptPath);
  const SetupScriptValues values = ReadSetupScriptValues(script);
  std::vector<uint64_t> parts;
  for (int32_t n = 1; n <= values.CountOfFiles; ++n) {
    const int64_t size = ValueOrRaise(ReadFileRow(script, n)).FileSize;
    if (size < 0)
      return {};  // not a size a payload holds: the packer keeps every byte in place
    parts.push_back(static_cast<uint64_t>(size));
  }
  return parts;
}

std::vector<PackedFile> SingleFilePackage(const SetupProject& project,
                                          const std::wstring& buildFolder) {
  std::vector<PackedFile> files;
  const std::vector<PackageFile> package = PackageFiles(project);
  for (const PackageFile& file : package)
    files.push_back({buildFolder + L"\\" + file.BuildName, file.PackageName, {}});
  for (const PackageFile& file : package)
    if (file.PackageName == script::kScriptFile)
      for (PackedFile& payload : files)
        if (payload.Name == script::kPayloadFile)
          payload.Parts = PayloadParts(buildFolder + L"\\" + file.BuildName);
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
