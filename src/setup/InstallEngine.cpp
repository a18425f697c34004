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
#include "support/Error.h"
#include "support/FileNames.h"
#include "support/FileSystem.h"
#include "support/Strings.h"

namespace {
Failure RedirectedFailure(const std::wstring& target) {
  return Failure(L"Папка на пути к файлу «" + target +
                 L"» ведёт за пределы папки установки (это ссылка). Установка прервана.");
}

Status RefuseRedirected(const std::wstring& installPath, const std::wstring& target) {
  if (!IsContainedPath(installPath, target))
    return RedirectedFailure(target);
  return {};
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

// Each step returns at its first failure, which the install then takes back.
class Install {
 public:
  Install(SetupState& state, const InstallChoices& choices, InstallEvents& events)
      : state_(state), choices_(choices), events_(events), pump_(events), checkpoints_(state) {}

  // One install, from the checks to the finish page.
  Status Run() {
    events_.StageChanged(InstallStage::Preparing);
    if (Status going = Pause(true); !going)
      return going;
    if (!state_.PackageDamage.empty())
      return PackageFailure(state_.PackageDamage + L" Установка невозможна.");

    // Nothing is written before the package and the folder have been checked.
    Expected<BinaryFile> payload =
        BinaryFile::TryOpenRead(state_.PackageFolder + script::kPayloadFile);
    if (!payload)
      return std::move(payload).Error();
    state_.InstallPath = choices_.InstallPathText;
    if (Status checked = CheckInstallFolder(state_.InstallPath); !checked)
      return checked;
    Expected<std::optional<InstalledProduct>> previous =
        CheckUpgrade(state_, choices_.AllowDowngrade);
    if (!previous)
      return std::move(previous).Error();
    state_.Previous = std::move(*previous);
    events_.StageChanged(InstallStage::ReadingPackage);
    if (!state_.ListsRead)  // the silent run has read them to check the package first
      if (Status read = LoadInstallLists(state_, pump_); !read)
        return read;
    if (Status checked = CheckFileRows(state_, payload->Size()); !checked)
      return checked;

    if (Status written = WriteEverything(*payload); !written)
      return TakeBack(std::move(written).Error());
    state_.RestartToFinish = journal_.Commit();
    RemovePreviousVersion(state_, events_);
    state_.Installed = true;
    events_.Finished({state_.UseGoSite, state_.UseRun,
                      (state_.UseReboot && !state_.AskToReboot) || state_.RestartToFinish,
                      state_.RestartToFinish});
    return {};
  }

 private:
  // Lets pending messages run (on the 10 ms clock unless `now`); a stop the
  // user asked for is the failure returned.
  Status Pause(bool now = false) {
    if (now)
      pump_.PumpNow();
    else
      pump_.Pump();
    if (pump_.Cancelled())
      return Failure(kInstallStopped, FailureKind::Stopped);
    return {};
  }

  Status WriteEverything(BinaryFile& payload) {
    // A folder that cannot be made fails at the record.
    if (const Expected<bool> made = journal_.MakeFolder(state_.InstallPath); !made.Ok())
      return made.Error();
    if (FolderExists(state_.InstallPath)) {
      Expected<std::wstring> recordable = RecordableFolder(state_.InstallPath, L"Папку установки");
      if (!recordable)
        return std::move(recordable).Error();
      state_.RecordedInstallPath = std::move(*recordable);
    } else {
      state_.RecordedInstallPath = state_.InstallPath;
    }
    if (Status opened = OpenUninstallScript(state_, journal_); !opened)
      return opened;
    if (Status prepared = PrepareLinkFolders(); !prepared)
      return prepared;

    events_.StageChanged(InstallStage::Copying);
    if (Status going = Pause(true); !going)
      return going;
    Record(uninstall::kFileCount, IntToText(state_.CountOfFiles));
    Record(uninstall::kProductName, state_.ProgramName);
    // An install folder that could not be made stops here.
    if (Status saved = checkpoints_.Save(true); !saved)
      return saved;

    if (Status copied = CopyFiles(payload); !copied)
      return copied;
    payload.Close();
    if (Status saved = checkpoints_.Save(true); !saved)
      return saved;

    events_.StageChanged(InstallStage::Shortcuts);
    if (Status going = Pause(true); !going)
      return going;
    ForgetEarlierRows(state_);
    if (Status made = MakeShortcuts(); !made)
      return made;
    if (Status saved = checkpoints_.Save(true); !saved)
      return saved;

    if (state_.UseUninstall) {
      if (Status registered = RegisterUninstaller(state_, journal_); !registered)
        return registered;
      if (Status completed = CompleteUninstallEntry(state_, events_); !completed)
        return completed;
    }
    return {};
  }

  void Record(std::wstring_view key, const std::wstring& value) {
    state_.UninstallScript.WriteString(uninstall::kFilesSection, key, value);
  }

  // The folders that receive links, made now where the record needs their short
  // form: a folder the record cannot hold stops the install before any copying.
  Status PrepareLinkFolders() {
    linkFolders_.assign(state_.ShortcutList.size(), std::wstring());
    for (size_t n = 1; n < state_.ShortcutList.size(); ++n) {
      const TShortCut& shortcut = state_.ShortcutList[n];
      if (!ShortcutChosen(shortcut, choices_) || shortcut.SavePath.empty())
        continue;
      if (Cp1251CanHold(shortcut.SavePath)) {
        linkFolders_[n] = shortcut.SavePath;
        continue;
      }
      const Expected<bool> made = journal_.MakeFolder(shortcut.SavePath);
      if (!made.Ok())
        return made.Error();
      if (!*made)
        continue;
      Expected<std::wstring> recordable = RecordableFolder(shortcut.SavePath, L"Папку ярлыков");
      if (!recordable)
        return std::move(recordable).Error();
      linkFolders_[n] = std::move(*recordable);
    }
    return {};
  }

  // Every file out of data.dat, front to back, with its share of the file and
  // of data.dat; each file's checksum is taken from the blocks as they pass.
  Status CopyFiles(BinaryFile& payload) {
    const int64_t payloadSize = payload.Size();
    int64_t payloadPosition = 0;
    CopyBuffer buffer;
    std::wstring madeFolder;  // files of one folder usually follow each other
    HeldFolder heldFolder;
    for (size_t n = 1; n < state_.FileList.size(); ++n) {
      const ScriptFileRow& file = state_.FileList[n];
      const int32_t row = static_cast<int32_t>(n);
      events_.FileStarted(row, file.FileName);
      if (Status going = Pause(); !going)
        return going;
      const std::wstring target = state_.InstallPath + L"\\" + file.FileName;
      Record(script::NumberedKey(uninstall::kFileKey, row),
             state_.RecordedInstallPath + L"\\" + file.FileName);
      // An earlier install's size and checksum no longer describe this row.
      for (const wchar_t* stale : {uninstall::kFileSizeKey, uninstall::kFileCrcKey})
        if (state_.UninstallScript.HasKey(uninstall::kFilesSection,
                                          script::NumberedKey(stale, row)))
          Record(script::NumberedKey(stale, row), L"");
      checkpoints_.MarkDirty();
      if (Status saved = checkpoints_.Save(); !saved)
        return saved;
      // A folder on the way swapped for a link to elsewhere is never made or
      // written through: looked at before the folders are made, and again after.
      // The folder is then held until its files are written, so that only each
      // file's own name needs a look; one that cannot be held is walked anew.
      const std::wstring folder = FolderOf(target);
      if (folder != madeFolder) {
        heldFolder = HeldFolder();
        if (Status contained = RefuseRedirected(state_.InstallPath, target); !contained)
          return contained;
        if (const Expected<bool> made = journal_.MakeFolder(folder); !made.Ok())
          return made.Error();
        heldFolder = HeldFolder::Hold(state_.InstallPath, folder);
        madeFolder = folder;
      }
      std::optional<BinaryFile> created;
      bool ours = false;  // created by this install, not found there
      if (!heldFolder.Held()) {
        if (Status contained = RefuseRedirected(state_.InstallPath, target); !contained)
          return contained;
      } else {
        // A free name in a held folder is taken at once: making a new file
        // follows no link. A taken one is looked at before it is replaced.
        Expected<std::optional<BinaryFile>> made = BinaryFile::TryCreateNew(target);
        if (!made.Ok())
          return std::move(made).Error();
        created = std::move(*made);
        if (!created && !heldFolder.MayWrite(target))
          return RedirectedFailure(target);
        ours = created.has_value();
      }
      // A file that is there already is replaced only once its new bytes are
      // whole and checked, and is kept aside until the install is complete.
      std::optional<TemporaryFile> staged;
      if (!created && FileExists(target)) {
        if (IsReadOnlyFile(target)) {
          SetLastError(ERROR_ACCESS_DENIED);
          return Failure(CannotCreateMessage(target));
        }
        Expected<TemporaryFile> made = TemporaryFile::Make(target);
        if (!made.Ok())
          return std::move(made).Error();
        staged.emplace(std::move(*made));
      } else if (!created) {
        bool existed = false;
        Expected<BinaryFile> made = BinaryFile::TryCreate(target, &existed);
        if (!made.Ok())
          return std::move(made).Error();
        created.emplace(std::move(*made));
        ours = !existed;
      }
      if (ours)
        journal_.Created(target);
      BinaryFile& output = staged ? staged->File() : *created;
      int64_t written = 0;
      uint32_t crc = 0;
      Status copied =
          TryCopyChunked(payload, output, file.FileSize, buffer, kPayloadBlock,
                         [&](const char* block, uint32_t piece) {
                           crc = Crc32Update(crc, block, piece);
                           written += piece;
                           payloadPosition += piece;
                           events_.ProgressChanged(
                               file.FileSize > 0 ? Permille(written, file.FileSize) : kNoShare,
                               payloadSize > 0 ? Permille(payloadPosition, payloadSize) : kNoShare);
                           return Pause();
                         });
      output.Close();
      if (copied && file.HasCrc && crc != file.Crc)
        copied = PackageFailure(DamagedFileText(file.FileName) + L" Установка прервана.");
      if (!copied) {
        // An incomplete or damaged copy never stays looking like an installed
        // file; a staged one goes with its TemporaryFile.
        if (ours)
          DeleteFileW(target.c_str());
        return copied;
      }
      if (staged) {
        const Expected<bool> replaced =
            ReplaceExistingTarget(*staged, journal_, events_, choices_.ReplaceInUseAtRestart);
        if (!replaced.Ok())
          return replaced.Error();
      }
      Record(script::NumberedKey(uninstall::kFileSizeKey, row), std::to_wstring(written));
      Record(script::NumberedKey(uninstall::kFileCrcKey, row), CrcText(crc));
      events_.FileWritten(target, written);
    }
    // CheckFileRows has matched the sizes with data.dat: only a data.dat that
    // changed while it was read ends elsewhere.
    if (payloadPosition != payloadSize)
      return PackageFailure(L"Пакет повреждён: файл «" + std::wstring(script::kPayloadFile) +
                            L"» изменился во время установки. Установка прервана.");
    return {};
  }

  // Shortcuts by kind and box; ShortCut<n> keeps the script position n and
  // names the link file exactly as it was saved, only when it was.
  Status MakeShortcuts() {
    int32_t created = 0;
    for (size_t n = 1; n < state_.ShortcutList.size(); ++n) {
      const TShortCut& shortcut = state_.ShortcutList[n];
      if (!ShortcutChosen(shortcut, choices_))
        continue;
      // An empty folder text fails here, as Save would fail on it.
      if (const Expected<bool> made = journal_.MakeFolder(shortcut.SavePath); !made.Ok())
        return made.Error();
      if (Status noted = journal_.BeforeCreating(shortcut.LinkPath(shortcut.SavePath)); !noted)
        return noted;
      const Expected<std::wstring> saved = shortcut.Save(shortcut.SavePath);
      if (!saved)
        return saved.Error();
      events_.LinkMade(saved->empty() ? shortcut.LinkPath(shortcut.SavePath) : *saved,
                       !saved->empty());
      if (saved->empty())
        continue;
      ++created;
      const std::wstring& folder =
          linkFolders_[n].empty() ? FolderOf(*saved) : WithTrailingBackslash(linkFolders_[n]);
      state_.UninstallScript.WriteString(
          uninstall::kShortCutsSection,
          uninstall::kShortCutKey + IntToText(static_cast<int32_t>(n)),
          WithTrailingBackslash(folder) + std::wstring(FileNamePart(*saved)));
      checkpoints_.MarkDirty();
    }
    state_.UninstallScript.WriteString(uninstall::kShortCutsSection, uninstall::kShortCutCount,
                                       IntToText(created));
    return {};
  }

  // Takes back what this install made; the failure goes on, naming what could
  // not be taken back.
  Failure TakeBack(Failure failure) {
    state_.LeftBehind = journal_.TakeBack();
    if (state_.LeftBehind.empty())
      return failure;
    std::wstring addition = L"\r\n\r\nНе удалось удалить:";
    for (const std::wstring& path : state_.LeftBehind) addition += L"\r\n" + path;
    return failure.Extended(addition);
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

Status RunInstall(SetupState& state, const InstallChoices& choices, InstallEvents& events) {
  Status installed = Install(state, choices, events).Run();
  if (!installed)
    events.Failed(installed.Error().Message(), InstallExitCode(installed.Error()));
  return installed;
}
