#pragma once
// Shortcuts page "Ярлыки": the shell shortcuts the setup program creates.

#include <vector>

#include "designer/ui/page.h"
#include "formats/SetupProject.h"
#include "win/ReportList.h"

class TFrame6 : public Page {
 public:
  using Page::Page;
  void Load(const SetupProject& project) override;
  void Store(SetupProject& project) const override;
  // Appends a row without touching the buttons (the example project does this).
  void AppendRow(const ShortcutEntry& entry);
  const std::vector<ShortcutEntry>& Rows() const { return rows_; }
  int Selected() const;
  void Select(int index);  // selects a row as a click would, without the click rule

  void Frame61Button1Click();  // "Добавить ярлык"
  void Frame61Button2Click();  // "Редактировать"
  void Frame61Button3Click();  // "Удалить"
  void Frame61ListView1Click();

  HWND Button1 = nullptr, Button2 = nullptr, Button3 = nullptr, ListView1 = nullptr;

 protected:
  void CreateControls() override;
  LRESULT OnNotify(NMHDR* header) override;

 private:
  void SyncItemCount();
  std::vector<ShortcutEntry> rows_;
  ReportList list_;
};
