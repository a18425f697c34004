#pragma once
// The self-extractor's small window: a caption, a label, a progress bar and
// "Отмена". It appears only when unpacking takes a moment, so a small package
// starts its setup program without a flash; messages run between blocks.

#include <windows.h>

#include "sfx/PackageImage.h"

inline constexpr wchar_t kExtractorCaption[] = L"Распаковка установки";

class ProgressWindow final : public ExtractObserver {
 public:
  ProgressWindow() = default;
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Creates the window hidden; false when the system refuses (unpacking then
  // goes on without a window).
  bool Create(HINSTANCE instance);
  HWND Handle() const { return window_; }
  void Close();

  void Progress(uint64_t done, uint64_t total) override;
  bool Cancelled() override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Pump();

  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HWND bar_ = nullptr;
  HFONT font_ = nullptr;
  DWORD started_ = 0;
  DWORD lastPump_ = 0;
  int shownPercent_ = -1;
  bool cancelled_ = false;
};
