#include "designer/BuildSteps.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <deque>
#include <optional>

#include "formats/ArchiverInput.h"
#include "formats/CrcText.h"
#include "formats/ScriptKeys.h"
#include "support/CodePage.h"
#include "support/Crc32.h"
#include "support/Error.h"
#include "support/FileControl.h"
#include "support/FileNames.h"
#include "support/FileSystem.h"
#include "support/PathNames.h"
#include "support/ProfileFile.h"
#include "support/Strings.h"

namespace {
// Copies a whole file through the run's buffer; the source is opened first, so
// a missing source leaves no empty target behind.
void CopyWhole(BuildContext& context, const std::wstring& from, const std::wstring& to,
               uint32_t blockSize, const BlockCallback& afterBlock) {
  BinaryFile source = BinaryFile::OpenRead(from);
  BinaryFile target = BinaryFile::Create(to);
  CopyChunked(source, target, source.Size(), context.Buffer, blockSize, afterBlock);
}

// A listed file opened for its bytes; one that cannot be opened is the
// project's fault, told apart from a failed write.
BinaryFile OpenSource(const std::wstring& path) {
  try {
    return BinaryFile::OpenRead(path);
  } catch (const KovrinError& error) {
    throw SourceFileError(error.Message());
  }
}
}  // namespace

std::wstring BuildContext::InDesigner(const std::wstring& name) const {
  return WithTrailingBackslash(Folders.DesignerFolder) + name;
}

void BuildContext::Checkpoint() {
  Progress.Pump();
  if (Observer.Cancelled())
    throw OperationCancelled(kBuildCancelledText);
}

void BuildContext::ShowShare(int64_t done, int64_t total) {
  if (total <= 0) {
    Observer.SetPosition(0);
    return;
  }
  const double share = std::round(static_cast<double>(done) * 100.0 / static_cast<double>(total));
  Observer.SetPosition(static_cast<int>(std::clamp(share, 0.0, 100.0)));
}

void CheckSetupFileName(const std::wstring& setupFileName) {
  if (setupFileName.empty())
    throw KovrinError(L"Не задано имя файла установочной программы.");
  // A folder part would put the launcher outside the build and output folders,
  // and a project file can carry any text here.
  if (setupFileName.find_first_of(L"\\/:") != std::wstring::npos || setupFileName == L"." ||
      setupFileName == L"..")
    throw KovrinError(L"Имя файла установочной программы \"" + setupFileName +
                      L"\" должно быть именем файла, без папки.");
  using namespace script;
  for (const wchar_t* reserved : {kScriptFile, kPayloadFile, kTextsFile, kUninstallerImage,
                                  kSavedReadMe, kSavedLicense, kSfxListFile, kSfxCommentFile}) {
    if (SameFileName(setupFileName, reserved))
      throw KovrinError(L"Имя файла установочной программы \"" + setupFileName +
                        L"\" совпадает с именем файла пакета. Выберите другое имя.");
  }
}

void CheckOutputFolder(const std::wstring& outputFolder, const std::wstring& buildFolder) {
  const auto folderPath = [](const std::wstring& folder) {
    return WithoutTrailingBackslash(FullPathName(folder));
  };
  if (!outputFolder.empty() && SameFileName(folderPath(outputFolder), folderPath(buildFolder)))
    throw KovrinError(L"Папка для установочной программы \"" + outputFolder +
                      L"\" совпадает с временной папкой сборки. Выберите другую папку.");
}

void CreateFolderOrThrow(const std::wstring& folder) {
  if (!ForceFolder(folder))  // an empty text raises by itself
    ThrowLastError(L"Unable to create directory \"" + folder + L"\"");
}

void CheckFileNames(const SetupProject& project) {
  for (const FileEntry& file : project.Files)
    if (!Cp1251CanHold(file.RelativeName))
      throw KovrinError(L"Имя файла «" + file.RelativeName +
                        L"» нельзя записать в сценарий установки: в нём есть знаки, которых нет "
                        L"в кодировке Windows-1251. Переименуйте файл в списке файлов.");
}

void WritePayload(BuildContext& context) {
  BinaryFile payload = BinaryFile::Create(context.InBuild(script::kPayloadFile));
  context.Status(L"Создание файла с программой...");
  context.Checkpoint();

  // The total starts from the recorded sizes; each file's own size replaces
  // its recorded one as it is opened.
  int64_t total = context.Project.TotalFileSize();
  int64_t written = 0;
  context.FileCrcs.clear();
  context.FileCrcs.reserve(context.Project.Files.size());
  for (FileEntry& file : context.Project.Files) {
    context.Status(L"Добавление файла " + file.RelativeName);
    context.Checkpoint();
    BinaryFile source = OpenSource(file.SourcePath());
    const int64_t size = source.Size();
    if (size > INT32_MAX)
      throw SourceFileError(L"Файл \"" + source.Path() +
                            L"\" больше 2 ГБ: такой файл нельзя записать в пакет.");
    total += size - file.Size;
    file.Size = size;
    int64_t taken = 0;
    uint32_t crc = 0;
    CopyChunked(source, payload, size, context.Buffer, kPayloadBlock,
                [&](const char* block, uint32_t piece) {
                  crc = Crc32Update(crc, block, piece);
                  taken += piece;
                  written += piece;
                  if (taken < size) {  // the bar moves on whole blocks, not on the last piece
                    context.ShowShare(written, total);
                    context.Checkpoint();
                  }
                });
    context.FileCrcs.push_back(crc);
    source.Close();
    context.Checkpoint();
  }
  payload.Close();
  context.Observer.SetPosition(0);
}

void RecordPayloadInScript(BuildContext& context, const std::wstring& scriptPath) {
  using namespace script;
  ProfileFile profile = ProfileFile::Load(scriptPath);
  const std::vector<FileEntry>& files = context.Project.Files;
  for (size_t i = 0; i < files.size(); ++i)
    profile.WriteString(kOneFiles, NumberedKey(kFileSize, static_cast<int32_t>(i + 1)),
                        IntToText(LowSigned32(files[i].Size)));
  // The checksums follow the rows at the end of the section; readers take keys by name.
  for (size_t i = 0; i < files.size() && i < context.FileCrcs.size(); ++i)
    profile.WriteString(kOneFiles, NumberedKey(kFileCrc, static_cast<int32_t>(i + 1)),
                        CrcText(context.FileCrcs[i]));
  profile.WriteString(kOneData, kSummarySize,
                      IntToText(LowSigned32(context.Project.TotalFileSize())));
  if (context.HasTexts)
    profile.WriteString(kOneData, kTextsCrc, CrcText(context.TextsCrc));
  profile.Save(scriptPath);
}

void WriteLauncher(BuildContext& context) {
  const SetupProject& project = context.Project;
  context.Status(L"Подготовка...");
  context.Checkpoint();

  const std::wstring launcherImage = context.InDesigner(script::kLauncherImage);
  const std::wstring readMe = context.InBuild(script::kSavedReadMe);
  const std::wstring license = context.InBuild(script::kSavedLicense);
  int64_t total = std::max<int64_t>(GetFileSize64(launcherImage), 0);
  if (project.UseReadMe)
    total += std::max<int64_t>(GetFileSize64(readMe), 0);
  if (project.UseLicense)
    total += std::max<int64_t>(GetFileSize64(license), 0);

  context.Status(L"Запись запускаемого модуля...");
  context.Checkpoint();
  // One written count across the launcher and both texts: the bar reaches 100
  // only when all three are written.
  int64_t written = 0;
  const BlockCallback afterBlock = [&](const char*, uint32_t piece) {
    written += piece;
    context.ShowShare(written, total);
    context.Checkpoint();
  };
  CopyWhole(context, launcherImage, context.InBuild(project.SetupFileName), kLauncherBlock,
            afterBlock);

  context.HasTexts = project.UseReadMe || project.UseLicense;
  if (!context.HasTexts)
    return;
  BinaryFile texts = BinaryFile::Create(context.InBuild(script::kTextsFile));
  context.TextsCrc = 0;
  const BlockCallback textBlock = [&](const char* block, uint32_t piece) {
    context.TextsCrc = Crc32Update(context.TextsCrc, block, piece);
    afterBlock(block, piece);
  };
  if (project.UseReadMe) {
    context.Status(L"Запись файла информации...");
    context.Checkpoint();
    AppendFile(texts, readMe, context.Buffer, kLauncherBlock, textBlock);
  }
  if (project.UseLicense) {
    context.Status(L"Запись файла лицензии...");
    context.Checkpoint();
    AppendFile(texts, license, context.Buffer, kLauncherBlock, textBlock);
  }
  texts.Close();
  context.Observer.SetPosition(0);
  context.Status(L"Завершение...");
  context.Checkpoint();
}

void CopyUninstaller(BuildContext& context) {
  if (!context.Project.UseUninstall)
    return;  // only a package that installs the uninstaller carries it
  CopyWhole(context, context.InDesigner(script::kUninstallerImage),
            context.InBuild(script::kUninstallerImage), kLauncherBlock,
            [&](const char*, uint32_t) { context.Checkpoint(); });
}

std::vector<PackageFile> PackageFiles(const SetupProject& project) {
  using namespace script;
  std::vector<PackageFile> files = {{project.SetupFileName, project.SetupFileName},
                                    {kPayloadFile, kPayloadFile},
                                    {kScriptFile, kScriptFile}};
  if (project.UseReadMe || project.UseLicense)
    files.push_back({kTextsFile, kPublishedTextsFile});
  if (project.UseUninstall)
    files.push_back({kUninstallerImage, kUninstallerImage});
  return files;
}

namespace {
// Package files waiting under temporary names in the output folder; each one
// not yet put in place is deleted when it goes out of scope.
class StagedPackage {
 public:
  explicit StagedPackage(BuildContext& context) : context_(context) {}
  StagedPackage(const StagedPackage&) = delete;
  StagedPackage& operator=(const StagedPackage&) = delete;

  void Stage(const PackageFile& file) {
    const std::wstring from = context_.InBuild(file.BuildName);
    TemporaryFile& staged = items_.emplace_back(context_.InOutput(file.PackageName)).staged;
    // On one volume the move is a rename over the staged file just made; across
    // volumes the bytes are copied through the run's buffer with the usual
    // checkpoints.
    staged.Close();
    if (MoveFileExW(from.c_str(), staged.Path().c_str(), MOVEFILE_REPLACE_EXISTING))
      return;
    const DWORD code = GetLastError();
    if (code != ERROR_NOT_SAME_DEVICE)
      ThrowCannotCreateWith(staged.Target(), code);
    const int64_t total = std::max<int64_t>(GetFileSize64(from), 0);
    int64_t done = 0;
    CopyWhole(context_, from, staged.Path(), kLauncherBlock, [&](const char*, uint32_t piece) {
      done += piece;
      context_.ShowShare(done, total);
      context_.Checkpoint();
    });
  }

  // Every staged file into place, or none: an old file is set aside before its
  // replacement goes in and comes back if any later step fails.
  void PutInPlace() {
    // A read-only old file is the author's way of keeping it: refused before
    // anything moves, as its replacement would be.
    for (const Item& item : items_)
      if (IsReadOnlyFile(item.staged.Target()))
        ThrowCannotCreateWith(item.staged.Target(), ERROR_ACCESS_DENIED);
    try {
      for (Item& item : items_) {
        const std::wstring& target = item.staged.Target();
        if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
          // Moved, never copied, onto a name that nothing has.
          const std::optional<std::wstring> aside =
              ClaimNameBeside(target, [&](const std::wstring& name) {
                return MoveFileExW(target.c_str(), name.c_str(), 0) != FALSE;
              });
          if (!aside)
            ThrowCannotCreateWith(target, GetLastError());
          item.aside = *aside;
        }
        item.staged.Commit();
        item.placed = true;
      }
    } catch (...) {
      PutOldFilesBack();
      throw;
    }
    for (const Item& item : items_)
      if (!item.aside.empty())
        DeleteFileW(item.aside.c_str());
  }

 private:
  struct Item {
    explicit Item(const std::wstring& target) : staged(target) {}
    TemporaryFile staged;
    std::wstring aside;  // the old file while the new ones go in
    bool placed = false;
  };

  // Newest first: an old file returns over its replacement, and a new file
  // that replaced nothing goes. An old file that cannot return keeps its
  // name beside the target rather than being lost.
  void PutOldFilesBack() noexcept {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
      const std::wstring& target = it->staged.Target();
      if (!it->aside.empty()) {
        if (MoveFileExW(it->aside.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
          it->aside.clear();
      } else if (it->placed) {
        DeleteFileW(target.c_str());
      }
    }
  }

  [[noreturn]] static void ThrowCannotCreateWith(const std::wstring& path, DWORD code) {
    ThrowSystemError(L"Cannot create file \"" + path + L"\"", code);
  }

  BuildContext& context_;
  std::deque<Item> items_;  // a deque: staged files never move once made
};
}  // namespace

void PublishPackage(BuildContext& context) {
  PublishFiles(context, PackageFiles(context.Project));
}

void PublishFiles(BuildContext& context, const std::vector<PackageFile>& files) {
  StagedPackage staged(context);
  for (const PackageFile& file : files) staged.Stage(file);
  context.Observer.SetPosition(0);
  staged.PutInPlace();
}
