#pragma once
// The shortcut editor: a modal dialog created for one add or edit.

#include <string>

#include "formats/SetupProject.h"
#include "win/Window.h"

class TForm2 : public Window {
 public:
  TForm2() = default;
  // Creates the dialog (FormCreate: centred on the screen), hidden.
  void Create(HWND owner);
  // Fills the boxes from a row (the edit command).
  void FillFrom(const ShortcutEntry& entry);
  // The row as the boxes describe it.
  ShortcutEntry Read() const;
  // Shows the dialog and runs until it closes.
  void ShowModal();

  void ComboBox1Change();
  void Button1Click();  // "ОК"
  void Button2Click();  // "Отмена"
  bool Cancelled = false;
  bool FreePathWindowColor() const { return freePathWindowColor_; }

  HWND Label1 = nullptr, ComboBox1 = nullptr, Edit1 = nullptr;
  HWND LabeledEdit1 = nullptr, LabeledEdit2 = nullptr, LabeledEdit3 = nullptr,
       LabeledEdit4 = nullptr;
  HWND Button1 = nullptr, Button2 = nullptr;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void SetFreePathEnabled(bool enabled);
  HWND owner_ = nullptr;
  bool closed_ = false;
  bool freePathWindowColor_ = false;
};
