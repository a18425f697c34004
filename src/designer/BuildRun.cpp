#include "designer/BuildRun.h"

#include <windows.h>

#include "designer/BuildSteps.h"
#include "designer/FolderRules.h"
#include "designer/SfxArchive.h"
#include "designer/SigningStep.h"
#include "designer/SingleFileStep.h"
#include "designer/SingleLineValues.h"
#include "designer/SortByExtension.h"
#include "formats/ScriptKeys.h"
#include "formats/SetupScriptWriter.h"
#include "formats/UninstallEntry.h"
#include "support/Environment.h"
#include "support/Error.h"
#include "support/FileControl.h"
#include "support/FileSystem.h"

std::wstring BuildFolderFromEnvironment() {
  std::wstring temp = GetEnvVar(L"Temp");
  if (temp.empty()) {
    wchar_t system[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, system);
    temp = WithoutTrailingBackslash(std::wstring(system, length <= MAX_PATH ? length : 0));
  }
  return temp + L"\\Kovrin";
}

const wchar_t* BuildStageText(BuildStage stage) {
  switch (stage) {
    case BuildStage::Script:
      return L"Создание INI файла";
    case BuildStage::Payload:
      return L"Добавление файлов для установки";
    case BuildStage::Launcher:
      return L"Добавление дополнительной информации";
    case BuildStage::Package:
      break;
  }
  return L"Сжатие файлов";
}

namespace {
void Steps(BuildContext& context) {
  SetupProject& project = context.Project;
  BuildObserver& observer = context.Observer;
  ExpandFolderRules(project);  // a fresh look at every rule's folder

  if (project.SortByExtension) {
    context.Status(L"Сортировка файлов...");
    context.Checkpoint();
    SortFilesByExtension(project.Files);
  }

  context.Status(L"Создание файла Setup.ini");
  observer.StageBegins(BuildStage::Script);
  context.Checkpoint();
  CheckSetupFileName(project.SetupFileName);
  if (const std::wstring problem = ProgramNameProblem(project.ProgramName); !problem.empty())
    throw KovrinError(problem);
  CheckSingleLineValues(project);
  CheckFileNames(project);
  CheckOutputFolder(project.OutputFolder, context.Folders.BuildFolder);
  CreateFolderOrThrow(project.OutputFolder);
  CreateFolderOrThrow(context.Folders.BuildFolder);
  const std::wstring scriptPath = context.InBuild(script::kScriptFile);
  WriteSetupScript(project, scriptPath, context.Progress);
  context.Checkpoint();
  observer.StageEnds(BuildStage::Script);

  observer.StageBegins(BuildStage::Payload);
  WritePayload(context);
  observer.StageEnds(BuildStage::Payload);

  observer.StageBegins(BuildStage::Launcher);
  WriteLauncher(context);
  RecordPayloadInScript(context, scriptPath);
  observer.StageEnds(BuildStage::Launcher);

  observer.StageBegins(BuildStage::Package);
  context.Checkpoint();
  CopyUninstaller(context);
  SignPackagePrograms(context);
  if (project.UseWinRar)
    BuildSfxArchive(context);
  else if (project.UseBuiltInPacker)
    BuildSingleFile(context);
  else
    PublishPackage(context);
  ClearFolder(context.Folders.BuildFolder);
  observer.StageEnds(BuildStage::Package);
  context.Status(L"Создание завершено");
  observer.Pump();
}
}  // namespace

BuildResult RunBuild(SetupProject& project, const BuildFolders& folders, BuildObserver& observer) {
  BuildContext context(project, folders, observer);
  // A failed run keeps the build folder to look at, but not its script: the
  // next run must never take up a script written for another project.
  const auto failed = [&](std::wstring message, BuildFailure failure) {
    DeleteFileW(context.InBuild(script::kScriptFile).c_str());
    return BuildResult{BuildOutcome::Failed, std::move(message), failure};
  };
  try {
    Steps(context);
    return {BuildOutcome::Done, kBuildDoneText};
  } catch (const OperationCancelled& stopped) {
    ClearFolder(folders.BuildFolder);
    observer.SetPosition(0);
    observer.SetStatus(L"Создание отменено");
    return {BuildOutcome::Cancelled, stopped.Message()};
  } catch (const SigningFailed& error) {
    return failed(error.Message(), BuildFailure::Signing);
  } catch (const FolderRuleError& error) {
    return failed(error.Message(), BuildFailure::FolderRule);
  } catch (const SourceFileError& error) {
    return failed(error.Message(), BuildFailure::Source);
  } catch (...) {
    return failed(CurrentExceptionMessage(), BuildFailure::Other);
  }
}
