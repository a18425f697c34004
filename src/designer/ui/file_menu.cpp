// The main window's "Файл" menu: new, open, save and save as a project file, the
// question before unsaved changes are lost, and the title that names the file.
#include <vector>

#include "designer/Product.h"
#include "designer/ProjectOpening.h"
#include "designer/ui/create_main.h"
#include "formats/ProjectFile.h"
#include "support/Error.h"
#include "support/FileNames.h"
#include "support/PathNames.h"
#include "support/Strings.h"
#include "win/Application.h"
#include "win/Layout.h"

namespace {
constexpr wchar_t kProjectFilter[] = L"Проекты Kovrin (*.kovrin)|*.kovrin|Все файлы (*.*)|*.*";

// The file's name without the project extension: "demo" for "C:\Work\demo.kovrin".
std::wstring ProjectName(const std::wstring& path) {
  std::wstring name(FileNamePart(path));
  const size_t extension = std::char_traits<wchar_t>::length(kProjectExtension);
  if (name.size() > extension &&
      EqualNoCase(name.substr(name.size() - extension), kProjectExtension))
    name.resize(name.size() - extension);
  return name;
}

// The project as its file holds it: the rows' sizes are measured when it is
// opened and after a build, never saved, so they are no change.
SetupProject AsSaved(SetupProject project) {
  for (FileEntry& file : project.Files) file.Size = 0;
  return project;
}
}  // namespace

void TForm1::NewProjectClick() {
  if (!MayDiscardChanges(false))
    return;
  LoadProject(startProject_);
  projectPath_.clear();
  savedProject_ = CurrentProject();
  UpdateTitle();
}

void TForm1::OpenProjectClick() {
  if (!MayDiscardChanges(false))
    return;
  std::vector<std::wstring> chosen;
  if (dialogs_.OpenFiles(Handle(), DialogFilter(kProjectFilter), false, chosen) && !chosen.empty())
    OpenProject(chosen.front());
}

bool TForm1::OpenProject(const std::wstring& path) {
  const std::wstring full = FullPathName(path);
  OpenedProject opened;
  try {
    opened = OpenProjectFile(full);
  } catch (const KovrinError&) {
    ReportCurrentError(L"project.open_error");
    return false;
  }
  LoadProject(opened.Project);
  projectPath_ = full;
  hadFile_ = true;
  // What the pages hold now counts as saved: the pages apply their rules to what
  // they load (the restart notice excludes the other two endings, for one).
  savedProject_ = CurrentProject();
  UpdateTitle();
  const std::wstring report = SizeRefreshReport(opened.Sizes);
  if (!report.empty())
    dialogs_.Ask(L"project.missing_files", report, L"Внимание!", MB_OK | MB_ICONWARNING);
  return true;
}

bool TForm1::SaveProjectClick() {
  return projectPath_.empty() ? SaveProjectAsClick() : SaveTo(projectPath_);
}

bool TForm1::SaveProjectAsClick() {
  std::wstring file = projectPath_;
  if (!dialogs_.SaveFile(Handle(), DialogFilter(kProjectFilter), &kProjectExtension[1], file))
    return false;
  return SaveTo(file);
}

bool TForm1::SaveTo(const std::wstring& path) {
  const std::wstring full = FullPathName(path);
  try {
    EnsureProductCode();
    SaveProjectFile(StoreProject(), full);
  } catch (const KovrinError&) {
    ReportCurrentError(L"project.save_error");
    return false;
  }
  projectPath_ = full;
  hadFile_ = true;
  savedProject_ = AsSaved(StoreProject());
  UpdateTitle();
  return true;
}

bool TForm1::MayDiscardChanges(bool closing) {
  if ((closing && !hadFile_) || !HasUnsavedChanges())
    return true;
  switch (dialogs_.Ask(L"project.save_changes", L"Сохранить изменения в проекте?", kMainCaption,
                       MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
      return SaveProjectClick();  // a cancelled save dialog cancels the action too
    case IDNO:
      return true;
    default:
      return false;
  }
}

SetupProject TForm1::CurrentProject() const {
  return AsSaved(StoreProject());
}

bool TForm1::HasUnsavedChanges() const {
  return CurrentProject() != savedProject_;
}

void TForm1::ProjectMayHaveChanged() {
  // Without a file the title never changes. Many edits in a row (a project being
  // loaded, typing) bring one update, once they have run.
  if (projectPath_.empty() || titleUpdatePosted_ || !Handle())
    return;
  titleUpdatePosted_ = PostMessageW(Handle(), kUpdateTitle, 0, 0) != FALSE;
}

void TForm1::UpdateTitle() {
  titleUpdatePosted_ = false;
  std::wstring title = kMainCaption;
  if (!projectPath_.empty())
    title = ProjectName(projectPath_) + (HasUnsavedChanges() ? L"*" : L"") + L" - " + kMainCaption;
  if (GetText(Handle()) != title)
    SetText(Handle(), title);
}
