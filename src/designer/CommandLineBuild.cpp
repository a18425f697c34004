#include "designer/CommandLineBuild.h"

#include <windows.h>

#include <utility>

#include "designer/BuildRun.h"
#include "designer/BuildSteps.h"
#include "designer/FolderRules.h"
#include "designer/ProjectOpening.h"
#include "formats/ProjectFile.h"
#include "formats/ProjectValues.h"
#include "formats/ScriptKeys.h"
#include "support/CommandLineWords.h"
#include "support/Error.h"
#include "support/FileControl.h"
#include "support/FileSystem.h"
#include "support/Handle.h"
#include "support/PathNames.h"
#include "support/Strings.h"

namespace {
const wchar_t kBuildSwitch[] = L"/build";
const wchar_t kOutSwitch[] = L"/out";
const wchar_t kSetSwitch[] = L"/set";
const wchar_t kSignSwitch[] = L"/sign";

bool IsSwitch(const std::wstring& argument) {
  return !argument.empty() && argument[0] == L'/';
}

// A failure is reported on one line, whatever the message holds.
class OneLineErrors final : public ConsoleWriter {
 public:
  explicit OneLineErrors(ConsoleWriter& inner) : inner_(inner) {}
  void Out(const std::wstring& line) override { inner_.Out(line); }
  void Error(const std::wstring& line) override {
    std::wstring flat = line;
    for (wchar_t& c : flat)
      if (c == L'\r' || c == L'\n')
        c = L' ';
    inner_.Error(flat);
  }

 private:
  ConsoleWriter& inner_;
};

// Prints the stages and every new status line; remembers whether the archiver
// had been started, so that a failure after it is put down to the archiver.
// A status set between two stages belongs to the next one and is printed
// under its heading.
class ConsoleBuildObserver final : public BuildObserver {
 public:
  explicit ConsoleBuildObserver(ConsoleWriter& console) : console_(console) {}

  void StageBegins(BuildStage stage) override {
    console_.Out(L"[" + std::to_wstring(static_cast<int>(stage)) + L"/4] " + BuildStageText(stage));
    inStage_ = true;
    Flush();
  }
  void StageEnds(BuildStage) override { inStage_ = false; }
  void ArchiverStarts() override { archiverStarted_ = true; }
  void SetStatus(const std::wstring& text) override {
    if (text == lastStatus_)
      return;
    lastStatus_ = text;
    Flush();
    pending_ = L"    " + text;
    if (inStage_)
      Flush();
  }
  void Flush() {
    if (!pending_.empty())
      console_.Out(pending_);
    pending_.clear();
  }
  bool ArchiverStarted() const { return archiverStarted_; }

 private:
  ConsoleWriter& console_;
  std::wstring lastStatus_;
  std::wstring pending_;
  bool inStage_ = false;
  bool archiverStarted_ = false;
};

// A failure of the run: its exit code and its one line.
struct Refusal {
  int code;
  std::wstring line;
};

// One /set KEY=VALUE; the problem with it, or nothing.
std::wstring AddValue(const std::wstring& setting,
                      std::vector<std::pair<std::wstring, std::wstring>>& values) {
  const size_t equals = setting.find(L'=');
  if (equals == std::wstring::npos || equals == 0)
    return L"/set требует КЛЮЧ=ЗНАЧЕНИЕ, а не \"" + setting + L"\".";
  const std::wstring name = setting.substr(0, equals);
  for (const wchar_t* known : kSettableKeys) {
    if (!EqualNoCase(name, known))
      continue;
    const std::wstring value = setting.substr(equals + 1);
    const size_t at = ControlCharacterAt(value);
    if (at != std::wstring::npos)
      return L"В значении /set " + std::wstring(known) + L" управляющий знак " +
             CharacterCode(value[at]) + L": это значение — одна строка.";
    values.emplace_back(known, value);
    return {};
  }
  std::wstring list;
  for (const wchar_t* known : kSettableKeys)
    list += (list.empty() ? L"" : L", ") + std::wstring(known);
  return L"/set не знает ключа " + name + L"; можно задать " + list + L".";
}

// The /set values over the project's [Main] values.
void ApplyValues(const StartCommand& command, SetupProject& project) {
  std::wstring* const fields[] = {&project.ProgramName,    &project.CompanyName,
                                  &project.ProductVersion, &project.InstallPath,
                                  &project.SetupFileName,  &project.OutputFolder};
  for (const auto& [name, value] : command.Values)
    for (size_t i = 0; i < std::size(kSettableKeys); ++i)
      if (name == kSettableKeys[i])
        *fields[i] = value;
}

std::wstring FirstAndCount(const std::wstring& first, size_t count) {
  if (count <= 1)
    return first;
  return first + L" (и ещё " + std::to_wstring(count - 1) + L")";
}

// Every listed file must be there and fit the package before the output folder is touched.
bool CheckSources(SetupProject& project, Refusal& refusal) {
  const SizeRefresh sizes = RefreshFileSizes(project.Files);
  if (!sizes.Missing.empty()) {
    refusal = {kExitMissingSource,
               L"Не найден или не открывается исходный файл: " +
                   FirstAndCount(sizes.Missing.front().SourcePath, sizes.Missing.size())};
    return false;
  }
  if (!sizes.Refused.empty()) {
    refusal = {kExitMissingSource,
               L"Исходный файл размером 2 ГБ или больше не помещается в пакет: " +
                   FirstAndCount(sizes.Refused.front(), sizes.Refused.size())};
    return false;
  }
  return true;
}

bool CheckKitFiles(const SetupProject& project, const std::wstring& designerFolder,
                   Refusal& refusal) {
  std::vector<std::wstring> needed = {script::kLauncherImage};
  if (project.UseUninstall)
    needed.push_back(script::kUninstallerImage);
  for (const std::wstring& name : needed) {
    const std::wstring path = WithTrailingBackslash(designerFolder) + name;
    if (!FileExists(path)) {
      refusal = {kExitBuildFailed, L"Не найден файл Kovrin, нужный для сборки: " + path};
      return false;
    }
  }
  return true;
}

// Creates the output folder and writes (and at once removes) a scratch file in it.
bool CheckOutputWritable(const std::wstring& folder, const std::wstring& buildFolder,
                         Refusal& refusal) {
  const std::wstring prefix = L"Папка для установочной программы недоступна для записи: ";
  if (folder.empty()) {
    refusal = {kExitOutputFolder, L"Не задана папка для установочной программы."};
    return false;
  }
  try {
    CheckOutputFolder(folder, buildFolder);
    CreateFolderOrThrow(folder);
  } catch (const KovrinError& error) {
    refusal = {kExitOutputFolder, prefix + folder + L". " + error.Message()};
    return false;
  }
  const std::wstring probe = WithTrailingBackslash(folder) + L"~kovrin-" +
                             std::to_wstring(GetCurrentProcessId()) + L".tmp";
  FileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file) {
    refusal = {kExitOutputFolder, SystemErrorMessage(prefix + folder, GetLastError())};
    return false;
  }
  return true;
}

// The work folder of this run, inside the output folder: the finished package
// files are renamed into place there instead of copied across volumes, and a
// running designer's work folder is not disturbed. Emptied and removed however
// the run ends.
class CommandLineBuildFolder {
 public:
  explicit CommandLineBuildFolder(std::wstring path) : path_(std::move(path)) {
    if (FolderExists(path_))
      ClearFolder(path_);
  }
  ~CommandLineBuildFolder() {
    ClearFolder(path_);
    RemoveDirectoryW(path_.c_str());
  }
  CommandLineBuildFolder(const CommandLineBuildFolder&) = delete;
  CommandLineBuildFolder& operator=(const CommandLineBuildFolder&) = delete;
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

std::wstring WorkFolderIn(const std::wstring& outputFolder) {
  return WithTrailingBackslash(outputFolder) + L"~kovrin-build-" +
         std::to_wstring(GetCurrentProcessId());
}

int Build(const StartCommand& command, const std::wstring& designerFolder, ConsoleWriter& console) {
  SetupProject project;
  try {
    project = LoadProjectFile(command.ProjectPath);
    ApplyValues(command, project);
    if (!command.OutputFolder.empty())
      project.OutputFolder = command.OutputFolder;
    if (!command.SignCommand.empty())
      project.SignCommand = command.SignCommand;
    CheckSetupFileName(project.SetupFileName);
  } catch (const KovrinError& error) {
    console.Error(L"Проект не собран: " + error.Message());
    return kExitBadProject;
  }
  console.Out(L"Проект: " + FullPathName(command.ProjectPath));
  // The command-line build leaves the project file as it is: a project without a
  // code builds packages that upgrade by name, as those made before codes did.
  if (project.ProductCode.empty())
    console.Out(
        L"В проекте нет кода продукта (ProductCode): пакет обновляет установленную "
        L"программу по имени. Сохраните проект в Kovrin, чтобы дать ему код.");

  Refusal refusal{kExitBuilt, {}};
  try {
    ExpandFolderRules(project);
  } catch (const FolderRuleError& error) {
    console.Error(error.Message());
    return kExitMissingSource;
  }
  const std::wstring workFolder = WorkFolderIn(project.OutputFolder);
  if (!CheckSources(project, refusal) || !CheckKitFiles(project, designerFolder, refusal) ||
      !CheckOutputWritable(project.OutputFolder, workFolder, refusal)) {
    console.Error(refusal.line);
    return refusal.code;
  }
  const CommandLineBuildFolder buildFolder(workFolder);

  ConsoleBuildObserver observer(console);
  const BuildResult result = RunBuild(
      project, BuildFolders{WithTrailingBackslash(designerFolder), buildFolder.Path()}, observer);
  observer.Flush();
  if (result.Outcome == BuildOutcome::Done) {
    console.Out(result.Message + L" " + project.OutputFolder);
    return kExitBuilt;
  }
  if (result.Failure == BuildFailure::Signing) {
    console.Error(L"Подпись не удалась: " + result.Message);
    return kExitSigning;
  }
  if (result.Failure == BuildFailure::FolderRule || result.Failure == BuildFailure::Source) {
    console.Error(result.Message);
    return kExitMissingSource;
  }
  if (observer.ArchiverStarted()) {
    console.Error(L"Ошибка WinRAR: " + result.Message);
    return kExitArchiver;
  }
  console.Error(L"Сборка прервана: " + result.Message);
  return kExitBuildFailed;
}
}  // namespace

StartCommand ParseStartCommand(const std::vector<std::wstring>& arguments) {
  StartCommand command;
  bool anySwitch = false;
  for (const std::wstring& argument : arguments) anySwitch = anySwitch || IsSwitch(argument);
  if (!anySwitch) {
    if (arguments.size() == 1) {
      command.Mode = StartMode::OpenProject;
      command.ProjectPath = arguments[0];
    }
    return command;
  }

  command.Mode = StartMode::Build;
  bool sawBuild = false;
  bool sawOut = false;
  auto fail = [&](const std::wstring& problem) {
    if (command.UsageError.empty())
      command.UsageError = problem;
  };
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    const bool isBuild = EqualNoCase(argument, kBuildSwitch);
    if (isBuild || EqualNoCase(argument, kOutSwitch)) {
      bool& seen = isBuild ? sawBuild : sawOut;
      if (seen)
        fail(argument + L" указан дважды.");
      seen = true;
      if (i + 1 >= arguments.size() || arguments[i + 1].empty() || IsSwitch(arguments[i + 1])) {
        fail(argument + (isBuild ? L" требует файл проекта." : L" требует папку."));
        continue;
      }
      (isBuild ? command.ProjectPath : command.OutputFolder) = arguments[++i];
    } else if (EqualNoCase(argument, kSetSwitch)) {
      if (i + 1 >= arguments.size()) {
        fail(L"/set требует КЛЮЧ=ЗНАЧЕНИЕ.");
        continue;
      }
      const std::wstring problem = AddValue(arguments[++i], command.Values);
      if (!problem.empty())
        fail(problem);
    } else if (EqualNoCase(argument, kSignSwitch)) {
      if (!command.SignCommand.empty())
        fail(L"/sign указан дважды.");
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        fail(L"/sign требует команду подписи.");
        continue;
      }
      command.SignCommand = arguments[++i];
      if (ControlCharacterAt(command.SignCommand) != std::wstring::npos)
        fail(L"В команде /sign управляющий знак: команда — одна строка.");
    } else if (IsSwitch(argument)) {
      fail(L"Неизвестный ключ " + argument + L".");
    } else {
      fail(L"Лишний аргумент \"" + argument + L"\".");
    }
  }
  if (!sawBuild)
    fail(L"Не указан ключ /build с файлом проекта.");
  return command;
}

std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine) {
  std::vector<std::wstring> words = SplitCommandLine(commandLine);
  if (!words.empty())
    words.erase(words.begin());  // the program's own name
  return words;
}

int RunCommandLineBuild(const StartCommand& command, const std::wstring& designerFolder,
                        ConsoleWriter& output) {
  OneLineErrors console(output);
  if (!command.UsageError.empty()) {
    console.Error(command.UsageError + L" " + kBuildUsage);
    return kExitUsage;
  }
  try {
    return Build(command, designerFolder, console);
  } catch (const std::exception&) {  // out of memory and the like
    console.Error(L"Сборка прервана: " + CurrentExceptionMessage());
    return kExitBuildFailed;
  }
}
