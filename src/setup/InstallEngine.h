#pragma once
// The install behind "Установить": copies every file out of data.dat into the
// chosen folder, records Uninst.ini, makes the chosen shortcuts, installs and
// registers the uninstaller and turns the window into its finished state. The
// window drives it through InstallView and never sees package files.

#include <string>

#include "support/Error.h"
#include "support/Progress.h"

struct SetupState;

// What the end user chose on the pages.
struct InstallChoices {
  std::wstring InstallPathText;   // the install-path box, taken as it stands
  bool DesktopShortcuts = false;  // the three boxes of the shortcuts page
  bool StartMenuShortcuts = false;
  bool StartupShortcuts = false;
};

// Which boxes the finish page shows.
struct FinishPageBoxes {
  bool GoSite = false;  // "Зайти на зайт программы"
  bool Run = false;     // "Запустить установленную программу"
  bool Reboot = false;  // "Перезагрузить компьютер" (only when the restart is not asked)
};

// The setup window as the install sees it. Bars run from 0 to 1000. Its Pump lets
// pending window messages run: inside the copy loops the engine calls it at most
// every 10 ms, at the step boundaries always.
class InstallView : public ProgressSink {
 public:
  // Cancel button disabled, install button hidden: no way back, no second install.
  virtual void EnterInstallingState() = 0;
  // Hides the five wizard pages and shows the copy page.
  virtual void ShowCopyPage() = 0;
  virtual void SetStageLabel(const std::wstring& text) = 0;
  virtual void SetFileLabel(const std::wstring& text) = 0;
  virtual void SetFileBar(int position) = 0;
  virtual void SetOverallBar(int position) = 0;
  // The system's copy clips, whole and repeated; none where the clips are missing.
  virtual void StartManyFilesAnimation() = 0;
  virtual void StartFileAnimation() = 0;
  // Both clips stop and return to their first frame.
  virtual void StopAnimations() = 0;
  // Cancel button becomes "Готово" and is enabled; copy page hidden; the finish
  // page shows the given boxes; the label "Этапы установки:" is hidden.
  virtual void ShowFinishPage(const FinishPageBoxes& boxes) = 0;
};

// The user asked to stop (the window's close box, answered "Да"): the install has
// taken back what it made.
inline constexpr wchar_t kInstallStopped[] = L"Установка прервана.";
class InstallCancelled : public KovrinError {
 public:
  // The plain notice, or with what could not be taken back added to it.
  explicit InstallCancelled(std::wstring message = kInstallStopped)
      : KovrinError(std::move(message)) {}
};

// Button2Click's work, in order. Before anything is written the install folder
// and the package are checked: a folder that is not a full path, file names that
// cannot be files there, rows missing below CountOfFiles or sizes that do not add
// up to data.dat (CheckFileRows) stop it at once. The rows are read from Setup.ini
// once the folder is fixed, unless state.ListsRead says they already are. Each file's CRC-32 is
// taken while it is copied and compared with the script's FileCrc<n> (a package without those keys
// is taken as it comes); a mismatch removes that file and stops the install naming it. The record
// lists each file with the size and checksum written, and each link exactly as saved. A failure or
// a stop (view.Cancelled(), asked at every pause) takes back what this install made
// (InstallJournal) and raises: PackageError for a package that does not check out, InstallCancelled
// for a stop, KovrinError with the system's wording for a target that cannot be written. The window
// is then left for the caller to show the error in.
void RunInstall(SetupState& state, const InstallChoices& choices, InstallView& view);

// The texts the install shows.
inline constexpr wchar_t kStagePreparing[] = L"Подготовка...";
inline constexpr wchar_t kStageCopying[] = L"Копирование файлов...";
inline constexpr wchar_t kStageShortcuts[] = L"Создание ярлыков...";
inline constexpr wchar_t kCopyingFilePrefix[] = L"Копирование файла: ";
