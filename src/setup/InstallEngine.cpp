#include "setup/InstallEngine.h"

#include <windows.h>

#include <cmath>

#include "formats/Payload.h"
#include "formats/ScriptKeys.h"
#include "formats/UninstallRecord.h"
#include "setup/InstallLists.h"
#include "setup/InstallObserver.h"
#include "setup/RelativeNames.h"
#include "setup/SetupState.h"
#include "setup/UninstallEntryDetails.h"
#include "setup/UninstallRegistration.h"
#include "setup/UninstallScript.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/Strings.h"

namespace {
int Permille(int64_t done, int64_t total) {
  return static_cast<int>(
      std::lround(static_cast<double>(done) / static_cast<double>(total) * 1000.0));
}

void RefuseUnsafeNames(const SetupState& state) {
  for (size_t n = 1; n < state.FileList.size(); ++n)
    if (!IsSafeRelativeName(state.FileList[n].FileName))
      throw KovrinError(
          L"The setup script names the file \"" + state.FileList[n].FileName +
          L"\", which does not lie inside the install folder. The package is damaged; "
          L"nothing has been installed.");
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

// Step 9: every file out of data.dat, front to back, with both bars.
void CopyFiles(SetupState& state, InstallView& view, ThrottledProgress& pump, BinaryFile& payload,
               UninstallScriptCheckpoints& checkpoints) {
  const int64_t payloadSize = payload.Size();
  int64_t payloadPosition = 0;
  CopyBuffer buffer;
  std::wstring madeFolder;  // files of one folder usually follow each other
  for (size_t n = 1; n < state.FileList.size(); ++n) {
    const InstallFile& file = state.FileList[n];
    view.StartFileAnimation();
    view.SetFileLabel(kCopyingFilePrefix + file.FileName);
    pump.Pump();
    const std::wstring target = state.InstallPath + L"\\" + file.FileName;
    state.UninstallScript.WriteString(
        uninstall::kFilesSection, uninstall::kFileKey + IntToText(static_cast<int32_t>(n)), target);
    checkpoints.MarkDirty();
    checkpoints.Save();
    const std::wstring folder = FolderOf(target);
    if (folder != madeFolder) {
      ForceFolder(folder);
      madeFolder = folder;
    }
    BinaryFile output = BinaryFile::Create(target);
    int64_t written = 0;
    try {
      CopyChunked(payload, output, file.FileSize, buffer, kPayloadBlock, [&](uint32_t piece) {
        written += piece;
        payloadPosition += piece;
        if (file.FileSize > 0)
          view.SetFileBar(Permille(written, file.FileSize));
        if (payloadSize > 0)
          view.SetOverallBar(Permille(payloadPosition, payloadSize));
        pump.Pump();
      });
    } catch (...) {
      // An incomplete copy is not left looking like an installed file.
      output.Close();
      DeleteFileW(target.c_str());
      throw;
    }
    if (state.Observer)
      state.Observer->FileWritten(target, file.FileSize);
  }
}

// Step 11: shortcuts by kind and box; ShortCut<n> keeps the script position n.
void MakeShortcuts(SetupState& state, const InstallChoices& choices) {
  int32_t created = 0;
  for (size_t n = 1; n < state.ShortcutList.size(); ++n) {
    const TShortCut& shortcut = state.ShortcutList[n];
    if (!ShortcutChosen(shortcut, choices))
      continue;
    ++created;
    const std::wstring link = shortcut.SavePath + L"\\" + shortcut.Name + L".lnk";
    state.UninstallScript.WriteString(uninstall::kShortCutsSection,
                                      uninstall::kShortCutKey + IntToText(static_cast<int32_t>(n)),
                                      link);
    shortcut.Save(shortcut.SavePath);
    if (state.Observer)
      state.Observer->LinkMade(link, FileExists(link));
  }
  state.UninstallScript.WriteString(uninstall::kShortCutsSection, uninstall::kShortCutCount,
                                    IntToText(created));
}
}  // namespace

void RunInstall(SetupState& state, const InstallChoices& choices, InstallView& view) {
  view.EnterInstallingState();
  view.SetFileLabel(L"");
  view.SetStageLabel(kStagePreparing);
  ThrottledProgress pump(view);
  pump.PumpNow();

  BinaryFile payload = BinaryFile::OpenRead(state.PackageFolder + script::kPayloadFile);

  state.InstallPath = choices.InstallPathText;
  ForceFolder(state.InstallPath);
  OpenUninstallScript(state);

  view.ShowCopyPage();
  LoadInstallLists(state, pump);
  RefuseUnsafeNames(state);

  view.StartManyFilesAnimation();
  view.SetStageLabel(kStageCopying);
  pump.PumpNow();

  UninstallScriptCheckpoints checkpoints(state);
  state.UninstallScript.WriteString(uninstall::kFilesSection, uninstall::kFileCount,
                                    IntToText(state.CountOfFiles));
  checkpoints.Save(true);  // an install folder that could not be made stops here
  try {
    CopyFiles(state, view, pump, payload, checkpoints);
    payload.Close();
    checkpoints.Save(true);

    view.StopAnimations();
    view.SetFileBar(0);
    view.SetOverallBar(0);
    view.SetFileLabel(L"");
    view.SetStageLabel(kStageShortcuts);
    pump.PumpNow();

    MakeShortcuts(state, choices);
    checkpoints.Save(true);
  } catch (...) {
    // Whatever stopped the install, what it did must be recorded on disk; the
    // first error is the one the user sees.
    try {
      checkpoints.Save(true);
    } catch (const KovrinError&) {
    }
    throw;
  }

  if (state.UseUninstall) {
    RegisterUninstaller(state);
    CompleteUninstallEntry(state);
  }

  state.Installed = true;
  view.ShowFinishPage({state.UseGoSite, state.UseRun, state.UseReboot && !state.AskToReboot});
  checkpoints.Save(true);
}
