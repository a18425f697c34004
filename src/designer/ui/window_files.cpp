#include "designer/ui/window_files.h"

#include <commctrl.h>

#include "support/FileSystem.h"
#include "support/Progress.h"
#include "win/Application.h"
#include "win/Layout.h"
#include "win/MessagePump.h"

namespace {
constexpr wchar_t kRefusedCaption[] = L"Внимание!";
// Before the folder of a row that a folder rule made.
const std::wstring kRuleMark = L"Правило папки: ";
}  // namespace

// Lists each row as the walk finds it and stops when the program is asked to
// quit. The labels and the window are brought up to date at most every 10 ms
// (and at the end): faster than the eye, and a walk of many small files is not
// held up by repainting after each one.
class TFrame2::ListSink final : public FileRowSink, private ProgressSink {
 public:
  explicit ListSink(TFrame2& page) : page_(page) {}
  ~ListSink() override { Show(); }
  bool AddFileRow(FileEntry entry) override {
    page_.AppendRowUnshown(std::move(entry));
    throttled_.Pump();
    return !quit_;
  }
  void RefuseFile(const std::wstring& path, FileRefusal reason) override {
    refused.push_back({path, reason});
  }
  std::vector<RefusedFile> refused;

 private:
  void Pump() override {
    Show();
    quit_ = !pump_.Run();
  }
  // The list view learns the new row count only here: telling it after every row
  // costs more than the walk itself.
  void Show() {
    page_.SyncItemCount();
    page_.UpdateFileTotals();
  }

  TFrame2& page_;
  MessagePump pump_;
  ThrottledProgress throttled_{*this};
  bool quit_ = false;
};

void TFrame2::CreateControls() {
  Button1 =
      AddButton(L"Добавить файлы", 8, 0, 121, 25, L"Добавить несколько файлов из одной папки");
  Button2 = AddButton(L"Добавить папку", 8, 32, 121, 25,
                      L"Добавить все вложенные файлы и папки, начиная с выбранной");
  Button3 =
      AddButton(L"Удалить выделеное", 8, 64, 121, 25, L"Удалить из списка все выделеные файлы");
  Button4 = AddButton(L"Очистить список", 8, 96, 121, 25, L"Полностью очистить список файлов");
  Label1 = AddLabel(FileCountText(0), 144, 8, 250, L"Количество файлов для установки");
  Label2 = AddLabel(TotalSizeText(0), 144, 32, 250, L"Общий размер всех файлов в списке");
  ListView1 = Add(WC_LISTVIEWW, L"",
                  WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_EDITLABELS |
                      LVS_NOSORTHEADER,
                  0, 136, 400, 150, L"Список файлов для установки", WS_EX_CLIENTEDGE);
  list_.Attach(
      ListView1,
      {{L"Относительное имя файла", 150}, {L"Локальный путь файла", 140}, {L"Размер файла", 98}},
      [this](size_t row, int column) {
        const FileEntry& entry = rows_[row];
        return column == 0 ? entry.RelativeName
               : column == 1
                   ? (entry.FromRule() ? kRuleMark + entry.LocalFolder : entry.LocalFolder)
                   : SizeText(entry.Size);
      },
      // The typed text becomes the relative name as it stands; a rule's rows
      // keep the names its folder gives them.
      [this](size_t row, const wchar_t* name) {
        if (!rows_[row].FromRule())
          rows_[row].RelativeName = name;
      });
  OnClick(Button1, [this] { Frame21Button1Click(); });
  OnClick(Button2, [this] { Frame21Button2Click(); });
  OnClick(Button3, [this] { Frame21Button3Click(); });
  OnClick(Button4, [this] { Frame21Button4Click(); });
}

LRESULT TFrame2::OnNotify(NMHDR* header) {
  return list_.Notify(header, rows_.size());
}

void TFrame2::AppendRow(FileEntry entry) {
  AppendRowUnshown(std::move(entry));
  SyncItemCount();
}

void TFrame2::AppendRowUnshown(FileEntry entry) {
  totals_.Add(entry.Size);
  rows_.push_back(std::move(entry));
}

void TFrame2::SyncItemCount() {
  ListView_SetItemCountEx(ListView1, FileCount(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void TFrame2::AppendRows(const std::vector<FileEntry>& rows) {
  for (const FileEntry& row : rows) AppendRow(row);
}

void TFrame2::UpdateFileTotals() {
  SetText(Label1, FileCountText(FileCount()));
  SetText(Label2, TotalSizeText(totals_.Total()));
}

void TFrame2::Frame21Button1Click() {
  std::vector<std::wstring> chosen;
  if (!context_.dialogs.OpenFiles(GetAncestor(Handle(), GA_ROOT),
                                  DialogFilter(L"Любые файлы (*.*)|*.*"), true, chosen))
    return;
  std::vector<RefusedFile> refused;
  {
    MessagePump pump;  // a quit request goes back to the main loop before the report
    for (const std::wstring& path : chosen) {
      FileRefusal reason{};
      std::optional<FileEntry> entry = SingleFileEntry(path, &reason);
      if (!entry) {
        refused.push_back({path, reason});
        continue;
      }
      AppendRow(std::move(*entry));
      UpdateFileTotals();
      if (!pump.Run())
        break;
    }
  }
  ReportRefused(refused);
}

void TFrame2::Frame21Button2Click() {
  std::wstring folder;
  if (!context_.dialogs.BrowseForFolder(ApplicationWindow(), L"Выберите папку", L"", folder))
    return;
  context_.state.FolderRoot = folder;
  AddFolderTree(WithoutTrailingBackslash(folder));
}

bool TFrame2::AddFolderTree(const std::wstring& folder) {
  std::vector<RefusedFile> refused;
  bool finished = false;
  {
    ListSink sink(*this);
    SendMessageW(ListView1, WM_SETREDRAW, FALSE, 0);
    finished = ::AddFolderTree(folder, context_.state.FolderRoot, sink);
    SendMessageW(ListView1, WM_SETREDRAW, TRUE, 0);
    refused = std::move(sink.refused);
  }
  InvalidateRect(ListView1, nullptr, TRUE);
  ReportRefused(refused);
  return finished;
}

void TFrame2::ReportRefused(const std::vector<RefusedFile>& refused) {
  for (FileRefusal reason : {FileRefusal::TooLarge, FileRefusal::NameNotInCodePage}) {
    std::vector<std::wstring> paths;
    for (const RefusedFile& file : refused)
      if (file.reason == reason)
        paths.push_back(file.path);
    if (!paths.empty())
      context_.dialogs.Ask(RefusedFilesPromptId(reason), RefusedFilesText(reason, paths),
                           kRefusedCaption, MB_OK | MB_ICONWARNING);
  }
}

void TFrame2::Frame21Button3Click() {
  std::vector<bool> selected(rows_.size(), false);
  bool any = false;
  for (int i = ListView_GetNextItem(ListView1, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(ListView1, i, LVNI_SELECTED)) {
    if (i < FileCount()) {
      selected[static_cast<size_t>(i)] = true;
      any = true;
    }
  }
  if (any) {
    ListView_SetItemState(ListView1, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    std::vector<FileEntry> kept;
    kept.reserve(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) {
      if (selected[i])
        totals_.Remove(rows_[i].Size);
      else
        kept.push_back(std::move(rows_[i]));
    }
    rows_ = std::move(kept);
    ListView_SetItemCountEx(ListView1, FileCount(), 0);
    InvalidateRect(ListView1, nullptr, TRUE);
  }
  UpdateFileTotals();
}

void TFrame2::Frame21Button4Click() {
  rows_.clear();
  rules_.clear();
  totals_.Clear();
  ListView_SetItemCountEx(ListView1, 0, 0);
  UpdateFileTotals();
}

void TFrame2::Load(const SetupProject& project) {
  rows_ = project.Files;
  rules_ = project.FolderRules;
  totals_.Clear();
  for (const FileEntry& row : rows_) totals_.Add(row.Size);
  ListView_SetItemState(ListView1, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(ListView1, FileCount(), 0);
  InvalidateRect(ListView1, nullptr, TRUE);
  UpdateFileTotals();
}

void TFrame2::Store(SetupProject& project) const {
  project.Files = rows_;
  project.FolderRules = rules_;
}
