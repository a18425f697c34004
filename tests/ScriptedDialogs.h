#pragma once
// Dialogs that answer from a script instead of a human, and record what was asked.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "win/Application.h"
#include "win/Dialogs.h"

class ScriptedDialogs final : public Dialogs {
 public:
  struct Asked {
    std::wstring id, text, caption;
    unsigned style;
  };

  std::deque<int> answers;                            // next Ask answers; IDOK when empty
  std::deque<std::vector<std::wstring>> fileAnswers;  // next OpenFiles; Cancel when empty
  std::deque<std::wstring> folderAnswers;             // next BrowseForFolder; Cancel when empty
  std::deque<FontChoice> fontAnswers;                 // next ChooseFont; Cancel when empty
  std::deque<std::wstring> saveAnswers;               // next SaveFile; Cancel when empty
  std::vector<Asked> asked;
  std::vector<std::wstring> browseRoots;
  std::vector<std::wstring> proposedSaves;  // the file each SaveFile proposed
  std::function<void()> onAsk;              // runs while the box would be up

  int Ask(std::wstring_view id, const std::wstring& text, const std::wstring& caption,
          unsigned style) override {
    asked.push_back({std::wstring(id), text, caption, style});
    if (onAsk)
      onAsk();
    if (answers.empty())
      return IDOK;
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool OpenFiles(HWND, const std::wstring&, bool, std::vector<std::wstring>& files) override {
    if (fileAnswers.empty())
      return false;
    files = fileAnswers.front();
    fileAnswers.pop_front();
    return true;
  }
  bool SaveFile(HWND, const std::wstring&, const std::wstring&, std::wstring& file) override {
    proposedSaves.push_back(file);
    if (saveAnswers.empty())
      return false;
    file = saveAnswers.front();
    saveAnswers.pop_front();
    return true;
  }
  bool BrowseForFolder(HWND, const std::wstring&, const std::wstring& root,
                       std::wstring& folder) override {
    browseRoots.push_back(root);
    if (folderAnswers.empty())
      return false;
    folder = folderAnswers.front();
    folderAnswers.pop_front();
    return true;
  }
  bool ChooseFont(HWND, FontChoice& font) override {
    if (fontAnswers.empty())
      return false;
    font = fontAnswers.front();
    fontAnswers.pop_front();
    return true;
  }
};

// The program's error boxes go to `dialogs` while this lives.
class ScopedErrorPrompter {
 public:
  explicit ScopedErrorPrompter(Prompter& dialogs) { SetErrorPrompter(&dialogs); }
  ~ScopedErrorPrompter() { SetErrorPrompter(nullptr); }
  ScopedErrorPrompter(const ScopedErrorPrompter&) = delete;
  ScopedErrorPrompter& operator=(const ScopedErrorPrompter&) = delete;
};
