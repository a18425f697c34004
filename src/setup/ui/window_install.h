#pragma once
// Page 6, shown during the install over the page list: the two animations, the file
// and stage labels and the two 0-1000 bars.

#include <windows.h>

#include "win/Panel.h"

// The system's copy clips in shell32 (the common "copy files" and "copy file" animations).
inline constexpr int kCopyFilesClip = 160;
inline constexpr int kCopyFileClip = 161;

// The texts the page shows as the install goes on.
inline constexpr wchar_t kStagePreparing[] = L"Подготовка...";
inline constexpr wchar_t kStageCopying[] = L"Копирование файлов...";
inline constexpr wchar_t kStageShortcuts[] = L"Создание ярлыков...";
inline constexpr wchar_t kCopyingFilePrefix[] = L"Копирование файла: ";

class TFrame6 final : public Panel {
 public:
  void Create(HWND parent);
  // Plays a clip from its first frame, repeated without end; nothing when the
  // system has no such clip, or when it is playing already (a restart at every
  // small file would hold it at its first frame).
  void Play(HWND animation);
  // Stops a clip and returns it to its first frame.
  void Rewind(HWND animation);
  bool HasClip(HWND animation) const { return animation == Animate1 ? fileClip_ : filesClip_; }

  HWND Animate1 = nullptr;  // one file
  HWND FileLabel = nullptr;
  HWND ProgressBar1 = nullptr;  // the current file
  HWND Animate2 = nullptr;      // many files
  HWND StageLabel = nullptr;
  HWND ProgressBar2 = nullptr;  // the whole payload

 private:
  bool& Playing(HWND animation) { return animation == Animate1 ? filePlaying_ : filesPlaying_; }

  bool fileClip_ = false, filesClip_ = false;
  bool filePlaying_ = false, filesPlaying_ = false;
};
