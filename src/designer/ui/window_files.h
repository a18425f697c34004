#pragma once
// Files page "Файлы": the files the package installs, in list order. The rows
// live in a vector shown by a virtual list view, so tens of thousands of rows
// cost no more than their text.

#include <vector>

#include "designer/FileList.h"
#include "designer/ui/page.h"
#include "formats/SetupProject.h"
#include "win/ReportList.h"

class TFrame2 : public Page {
 public:
  using Page::Page;
  void Load(const SetupProject& project) override;  // replaces the rows and sets the labels
  void Store(SetupProject& project) const override;

  // Appends rows without touching the labels (the example project does this).
  void AppendRows(const std::vector<FileEntry>& rows);

  void Frame21Button1Click();  // "Добавить файлы"
  void Frame21Button2Click();  // "Добавить папку"
  void Frame21Button3Click();  // "Удалить выделеное"
  void Frame21Button4Click();  // "Очистить список"
  // Appends every file below `folder` (FolderRoot must be set); false when stopped.
  bool AddFolderTree(const std::wstring& folder);
  void UpdateFileTotals();
  int FileCount() const { return static_cast<int>(rows_.size()); }
  int64_t TotalFileSize() const { return totals_.Total(); }
  const std::vector<FileEntry>& Rows() const { return rows_; }

  HWND Button1 = nullptr, Button2 = nullptr, Button3 = nullptr, Button4 = nullptr;
  HWND Label1 = nullptr, Label2 = nullptr;
  HWND ListView1 = nullptr;

 protected:
  void CreateControls() override;
  LRESULT OnNotify(NMHDR* header) override;

 private:
  class ListSink;
  void AppendRow(FileEntry entry);
  // Adds the row to the model only; SyncItemCount shows it in the list view.
  void AppendRowUnshown(FileEntry entry);
  void SyncItemCount();
  struct RefusedFile {
    std::wstring path;
    FileRefusal reason;
  };
  // One warning per reason, worded by the file-list rules.
  void ReportRefused(const std::vector<RefusedFile>& refused);

  std::vector<FileEntry> rows_;
  std::vector<FolderRule> rules_;  // their rows are among rows_, marked
  FileTotals totals_;
  ReportList list_;
};
