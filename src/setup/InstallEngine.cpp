#include "setup/InstallEngine.h"

#include <windows.h>

#include <cmath>
#include <optional>
#include <vector>

#include "formats/CrcText.h"
#include "formats/PackageError.h"
#include "formats/Payload.h"
#include "formats/ScriptKeys.h"
#include "formats/UninstallRecord.h"
#include "setup/ExitCodes.h"
#include "setup/InstallJournal.h"
#include "setup/InstallLists.h"
#include "setup/PackageChecks.h"
#include "setup/PreviousVersion.h"
#include "setup/RecordedPaths.h"
#include "setup/SetupState.h"
#include "setup/TargetReplacement.h"
#include "setup/UninstallEntryDetails.h"
#include "setup/UninstallRegistration.h"
#include "setup/UninstallScript.h"
#include "setup/UpgradeCheck.h"
#include "support/CodePage.h"
#include "support/ContainedFiles.h"
#include "support/Crc32.h"
#include "support/FileNames.h"
#include "support/FileSystem.h"
#include "support/Strings.h"

namespace {
[[noreturn]] void ThrowRedirected(const std::wstring& target) {
  throw KovrinError(L"Папка на пути к файлу «" + target +
                    L"» ведёт за пределы папки установки (это ссылка). Установка прервана.");
}

void RefuseRedirected(const std::wstring& installPath, const std::wstring& target) {
  if (!IsContainedPath(installPath, target))
    ThrowRedirected(target);
}

int Permille(int64_t done, int64_t total) {
  return static_cast<int>(
      std::lround(static_cast<double>(done) / static_cast<double>(total) * 1000.0));
}

bool ShortcutChosen(const TShortCut& shortcut, const InstallChoices& choices) {
  switch (shortcut.Kind) {
    case kShortcutDesktop:
      return choices.DesktopShortcuts;
    case kShortcutStartMenu:
      return choices.StartMenuShortcuts;
    case kShortcutStartup:
      return choices.StartupShortcuts;
    default:
      return true;
  }
}

// One install, from the checks to the finish page.
class Install {
 public:
  Install(SetupState& state, const InstallChoices& choices, InstallEvents& events)
      : state_(state), choices_(choices), events_(events), pump_(events), checkpoints_(state) {}

  void Run() {
    events_.StageChanged(InstallStage::Preparing);
    Pause(true);
    if (!state_.PackageDamage.empty())
      throw PackageError(state_.PackageDamage + L" Установка невозможна.");

    // Nothing is written before the package and the folder have been checked.
    BinaryFile payload = BinaryFile::OpenRead(state_.PackageFolder + script::kPayloadFile);
    state_.InstallPath = choices_.InstallPathText;
    CheckInstallFolder(state_.InstallPath);
    state_.Previous = CheckUpgrade(state_, choices_.AllowDowngrade);
    events_.StageChanged(InstallStage::ReadingPackage);
    if (!state_.ListsRead)  // the silent run has read them to check the package first
      LoadInstallLists(state_, pump_);
    CheckFileRows(state_, payload.Size());

    try {
      WriteEverything(payload);
    } catch (...) {
      TakeBack();
    }
    state_.RestartToFinish = journal_.Commit();
    RemovePreviousVersion(state_, events_);
    state_.Installed = true;
    events_.Finished({state_.UseGoSite, state_.UseRun,
                      (state_.UseReboot && !state_.AskToReboot) || state_.RestartToFinish,
                      state_.RestartToFinish});
  }

 private:
  // Lets pending messages run (on the 10 ms clock unless `now`), then stops the
  // install if the user asked to.
  void Pause(bool now = false) {
    if (now)
      pump_.PumpNow();
    else
      pump_.Pump();
    if (pump_.Cancelled())
      throw OperationCancelled(kInstallStopped);
  }

  void WriteEverything(BinaryFile& payload) {
    journal_.MakeFolder(state_.InstallPath);  // one that cannot be made fails at the record
    state_.RecordedInstallPath = FolderExists(state_.InstallPath)
                                     ? RecordableFolder(state_.InstallPath, L"Папку установки")
                                     : state_.InstallPath;
    OpenUninstallScript(state_, journal_);
    PrepareLinkFolders();

    events_.StageChanged(InstallStage::Copying);
    Pause(true);
    Record(uninstall::kFileCount, IntToText(state_.CountOfFiles));
    Record(uninstall::kProductName, state_.ProgramName);
    checkpoints_.Save(true);  // an install folder that could not be made stops here

    CopyFiles(payload);
    payload.Close();
    checkpoints_.Save(true);

    events_.StageChanged(InstallStage::Shortcuts);
    Pause(true);
    ForgetEarlierRows(state_);
    MakeShortcuts();
    checkpoints_.Save(true);

    if (state_.UseUninstall) {
      RegisterUninstaller(state_, journal_);
      CompleteUninstallEntry(state_, events_);
    }
  }

  void Record(std::wstring_view key, const std::wstring& value) {
    state_.UninstallScript.WriteString(uninstall::kFilesSection, key, value);
  }

  // The folders that receive links, made now where the record needs their short
  // form: a folder the record cannot hold stops the install before any copying.
  void PrepareLinkFolders() {
    linkFolders_.assign(state_.ShortcutList.size(), std::wstring());
    for (size_t n = 1; n < state_.ShortcutList.size(); ++n) {
      const TShortCut& shortcut = state_.ShortcutList[n];
      if (!ShortcutChosen(shortcut, choices_) || shortcut.SavePath.empty())
        continue;
      if (Cp1251CanHold(shortcut.SavePath))
        linkFolders_[n] = shortcut.SavePath;
      else if (journal_.MakeFolder(shortcut.SavePath))
        linkFolders_[n] = RecordableFolder(shortcut.SavePath, L"Папку ярлыков");
    }
  }

  // Every file out of data.dat, front to back, with its share of the file and
  // of data.dat; each file's checksum is taken from the blocks as they pass.
  void CopyFiles(BinaryFile& payload) {
    const int64_t payloadSize = payload.Size();
    int64_t payloadPosition = 0;
    CopyBuffer buffer;
    std::wstring madeFolder;  // files of one folder usually follow each other
    HeldFolder heldFolder;
    for (size_t n = 1; n < state_.FileList.size(); ++n) {
      const ScriptFileRow& file = state_.FileList[n];
      const int32_t row = static_cast<int32_t>(n);
      events_.FileStarted(row, file.FileName);
      Pause();
      const std::wstring target = state_.InstallPath + L"\\" + file.FileName;
      Record(script::NumberedKey(uninstall::kFileKey, row),
             state_.RecordedInstallPath + L"\\" + file.FileName);
      // An earlier install's size and checksum no longer describe this row.
      for (const wchar_t* stale : {uninstall::kFileSizeKey, uninstall::kFileCrcKey})
        if (state_.UninstallScript.HasKey(uninstall::kFilesSection,
                                          script::NumberedKey(stale, row)))
          Record(script::NumberedKey(stale, row), L"");
      checkpoints_.MarkDirty();
      checkpoints_.Save();
      // A folder on the way swapped for a link to elsewhere is never made or
      // written through: looked at before the folders are made, and again after.
      // The folder is then held until its files are written, so that only each
      // file's own name needs a look; one that cannot be held is walked anew.
      const std::wstring folder = FolderOf(target);
      if (folder != madeFolder) {
        heldFolder = HeldFolder();
        RefuseRedirected(state_.InstallPath, target);
        journal_.MakeFolder(folder);
        heldFolder = HeldFolder::Hold(state_.InstallPath, folder);
        madeFolder = folder;
      }
      std::optional<BinaryFile> created;
      bool ours = false;  // created by this install, not found there
      if (!heldFolder.Held()) {
        RefuseRedirected(state_.InstallPath, target);
      } else {
        // A free name in a held folder is taken at once: making a new file
        // follows no link. A taken one is looked at before it is replaced.
        created = BinaryFile::CreateNew(target);
        if (!created && !heldFolder.MayWrite(target))
          ThrowRedirected(target);
        ours = created.has_value();
      }
      // A file that is there already is replaced only once its new bytes are
      // whole and checked, and is kept aside until the install is complete.
      std::optional<TemporaryFile> staged;
      if (!created && FileExists(target)) {
        if (IsReadOnlyFile(target)) {
          SetLastError(ERROR_ACCESS_DENIED);
          ThrowCannotCreate(target);
        }
        staged.emplace(target);
      } else if (!created) {
        bool existed = false;
        created.emplace(BinaryFile::Create(target, &existed));
        ours = !existed;
      }
      if (ours)
        journal_.Created(target);
      BinaryFile& output = staged ? staged->File() : *created;
      int64_t written = 0;
      uint32_t crc = 0;
      try {
        CopyChunked(payload, output, file.FileSize, buffer, kPayloadBlock,
                    [&](const char* block, uint32_t piece) {
                      crc = Crc32Update(crc, block, piece);
                      written += piece;
                      payloadPosition += piece;
                      events_.ProgressChanged(
                          file.FileSize > 0 ? Permille(written, file.FileSize) : kNoShare,
                          payloadSize > 0 ? Permille(payloadPosition, payloadSize) : kNoShare);
                      Pause();
                    });
        output.Close();
        if (file.HasCrc && crc != file.Crc)
          throw PackageError(DamagedFileText(file.FileName) + L" Установка прервана.");
      } catch (...) {
        // An incomplete or damaged copy never stays looking like an installed
        // file; a staged one goes with its TemporaryFile.
        if (created)
          created->Close();
        if (ours)
          DeleteFileW(target.c_str());
        throw;
      }
      if (staged)
        ReplaceExistingTarget(*staged, journal_, events_, choices_.ReplaceInUseAtRestart);
      Record(script::NumberedKey(uninstall::kFileSizeKey, row), std::to_wstring(written));
      Record(script::NumberedKey(uninstall::kFileCrcKey, row), CrcText(crc));
      events_.FileWritten(target, written);
    }
    // CheckFileRows has matched the sizes with data.dat: only a data.dat that
    // changed while it was read ends elsewhere.
    if (payloadPosition != payloadSize)
      throw PackageError(L"Пакет повреждён: файл «" + std::wstring(script::kPayloadFile) +
                         L"» изменился во время установки. Установка прервана.");
  }

  // Shortcuts by kind and box; ShortCut<n> keeps the script position n and
  // names the link file exactly as it was saved, only when it was.
  void MakeShortcuts() {
    int32_t created = 0;
    for (size_t n = 1; n < state_.ShortcutList.size(); ++n) {
      const TShortCut& shortcut = state_.ShortcutList[n];
      if (!ShortcutChosen(shortcut, choices_))
        continue;
      journal_.MakeFolder(shortcut.SavePath);  // an empty folder text raises, as Save does
      journal_.BeforeCreating(shortcut.LinkPath(shortcut.SavePath));
      const std::wstring saved = shortcut.Save(shortcut.SavePath);
      events_.LinkMade(saved.empty() ? shortcut.LinkPath(shortcut.SavePath) : saved,
                       !saved.empty());
      if (saved.empty())
        continue;
      ++created;
      const std::wstring& folder =
          linkFolders_[n].empty() ? FolderOf(saved) : WithTrailingBackslash(linkFolders_[n]);
      state_.UninstallScript.WriteString(
          uninstall::kShortCutsSection,
          uninstall::kShortCutKey + IntToText(static_cast<int32_t>(n)),
          WithTrailingBackslash(folder) + std::wstring(FileNamePart(saved)));
      checkpoints_.MarkDirty();
    }
    state_.UninstallScript.WriteString(uninstall::kShortCutsSection, uninstall::kShortCutCount,
                                       IntToText(created));
  }

  // Takes back what this install made and raises the error again, naming what
  // could not be taken back.
  [[noreturn]] void TakeBack() {
    state_.LeftBehind = journal_.TakeBack();
    if (state_.LeftBehind.empty())
      throw;
    std::wstring addition = L"\r\n\r\nНе удалось удалить:";
    for (const std::wstring& path : state_.LeftBehind) addition += L"\r\n" + path;
    try {
      throw;
    } catch (const OperationCancelled& error) {
      throw OperationCancelled(error.Message() + addition);
    } catch (const PackageError& error) {
      throw PackageError(error.Message() + addition);
    } catch (const KovrinError& error) {
      throw KovrinError(error.Message() + addition);
    }
  }

  SetupState& state_;
  const InstallChoices& choices_;
  InstallEvents& events_;
  ThrottledProgress pump_;
  InstallJournal journal_;
  UninstallScriptCheckpoints checkpoints_;
  std::vector<std::wstring> linkFolders_;  // by shortcut: its folder as the record holds it
};
}  // namespace

void RunInstall(SetupState& state, const InstallChoices& choices, InstallEvents& events) {
  try {
    Install(state, choices, events).Run();
  } catch (...) {
    events.Failed(CurrentExceptionMessage(), InstallExitCode());
    throw;
  }
}
