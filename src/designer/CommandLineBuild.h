#pragma once
// The designer's command line. Without arguments the designer starts as it
// always has; one path opens that project; `/build PROJECT [/out FOLDER]`
// builds the project with the build engine of the build dialog, without any
// window, writing its stages and the result as lines of text.

#include <string>
#include <utility>
#include <vector>

enum class StartMode {
  Designer,     // no arguments (or several plain ones, which are ignored)
  OpenProject,  // one argument that is not a switch: a project to open
  Build,        // any argument that begins with "/": the command-line build
};

struct StartCommand {
  StartMode Mode = StartMode::Designer;
  std::wstring ProjectPath;   // OpenProject, Build
  std::wstring OutputFolder;  // Build: the /out folder, empty for the project's own
  std::wstring UsageError;    // Build: what is wrong with the command line, if anything
  // Build: /set KEY=VALUE in order (a later one wins), and the /sign command.
  std::vector<std::pair<std::wstring, std::wstring>> Values;
  std::wstring SignCommand;
};

// The [Main] keys that /set may give, in the project file's spelling.
inline constexpr const wchar_t* kSettableKeys[] = {L"ProgramName",    L"CompanyName",
                                                   L"ProductVersion", L"InstallPath",
                                                   L"SetupFileName",  L"OutputFolder"};

// `arguments` without the program's own name. Switches match without case.
StartCommand ParseStartCommand(const std::vector<std::wstring>& arguments);
// The arguments of a whole command line, as the system splits them, without
// the program's name.
std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine);

inline constexpr wchar_t kBuildUsage[] =
    L"Использование: Kovrin.exe /build <проект.kovrin> [/out <папка>] [/set КЛЮЧ=ЗНАЧЕНИЕ …] "
    L"[/sign \"КОМАНДА {file}\"]";

// Exit codes of the command-line build (docs/project-file.md lists them too).
enum BuildExitCode : int {
  kExitBuilt = 0,
  kExitBuildFailed = 1,  // the build stopped: a file could not be read or written,
                         // or the kit's own files (Kovrin.dat, uninst.dat) are missing
  kExitUsage = 2,  // the command line is not /build PROJECT [/out FOLDER] [/set …] [/sign …]
  kExitBadProject = 3,     // the project file cannot be read, is damaged or too new
  kExitMissingSource = 4,  // a listed file is missing, unreadable or 2 GiB or more, or a
                           // folder rule's folder is missing or gives no file
  kExitOutputFolder = 5,   // the output folder cannot be created or written to
  kExitArchiver = 6,       // WinRAR could not be started or made no archive
  kExitSigning = 7,        // the signing command failed or left a program unsigned
};

// Where the build writes its lines: standard output and standard error of the
// console it was started from, or a test's record.
class ConsoleWriter {
 public:
  virtual ~ConsoleWriter() = default;
  virtual void Out(const std::wstring& line) = 0;
  virtual void Error(const std::wstring& line) = 0;
};

// Runs a Build command and returns its exit code. Stages and status lines go
// to Out; a failure is one line on Error. A bad command line, a project that
// cannot be read and a missing source file end the run before anything is
// written to the output folder. `designerFolder` holds Kovrin.dat and
// uninst.dat. The build uses a work folder of its own inside the output folder
// (a running designer's build is not disturbed, and the package is renamed into
// place, never copied) and removes it at the end.
int RunCommandLineBuild(const StartCommand& command, const std::wstring& designerFolder,
                        ConsoleWriter& output);
