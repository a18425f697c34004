#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

#include "ScriptedDialogs.h"
#include "designer/BuildFixture.h"
#include "designer/ui/create_install.h"
#include "win/Layout.h"

namespace {
HICON MarkOf(const TForm3& form, int stage) {
  return reinterpret_cast<HICON>(SendMessageW(form.StageMark(stage), STM_GETICON, 0, 0));
}
bool IsBold(HWND label) {
  return reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)) == UiBoldFont();
}

// Runs `atPayload` as the payload stage begins, as a click during the run would come.
class PayloadStageForm : public TForm3 {
 public:
  using TForm3::TForm3;
  std::function<void(TForm3&)> atPayload;
  void StageBegins(BuildStage stage) override {
    TForm3::StageBegins(stage);
    if (stage == BuildStage::Payload)
      atPayload(*this);
  }
};

class OwnerWindow {
 public:
  OwnerWindow() {
    hwnd = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~OwnerWindow() { DestroyWindow(hwnd); }
  HWND hwnd;
};

// The run's rules and messages are pinned by BuildRunTest; these tests check the
// dialog around it: its marks, status line, buttons and closing.
class BuildDialog : public BuildRunFixture {
 protected:
  static void SetUpTestSuite() { InitCommonControls(); }
  ScriptedDialogs dialogs;  // answers every box with OK
  ScopedErrorPrompter errors{dialogs};
};
}  // namespace

TEST_F(BuildDialog, ShowsTheFinishedRunThenClosesAfterTheSuccessBox) {
  project = ExampleProjectIn(fx);
  OwnerWindow owner;
  TForm3 form(project, fx.Folders(), dialogs);
  dialogs.onAsk = [&] {
    HWND dialog = form.Handle();
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(IsWindowEnabled(owner.hwnd));  // modal over its owner
    EXPECT_EQ(GetText(dialog), L"Создание программы установки");
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, Scale(392));
    EXPECT_EQ(client.bottom, Scale(266));
    const wchar_t* labels[] = {L"Создание INI файла", L"Добавление файлов для установки",
                               L"Добавление дополнительной информации", L"Сжатие файлов"};
    for (int stage = 1; stage <= 4; ++stage) {
      EXPECT_EQ(GetText(form.StageLabel(stage)), labels[stage - 1]);
      EXPECT_EQ(MarkOf(form, stage), form.CheckMark()) << stage;
      EXPECT_FALSE(IsBold(form.StageLabel(stage))) << stage;
    }
    EXPECT_EQ(GetText(form.StatusLine()), L"Создание завершено");
    EXPECT_TRUE(GetWindowLongPtrW(form.ProgressBar(), GWL_STYLE) & PBS_SMOOTH);
    EXPECT_EQ(SendMessageW(form.ProgressBar(), PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(GetText(form.CancelButton()), L"Отмена");
  };

  EXPECT_TRUE(form.ShowModal(owner.hwnd, 0));

  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].text, L"Установочная программа создана.");
  EXPECT_EQ(dialogs.asked[0].caption, L"Kovrin");
  EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_OK | MB_ICONINFORMATION));
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
  EXPECT_FALSE(IsWindow(form.Handle()));
  EXPECT_EQ(project.Files[1].Size, 450001);  // the refreshed size reaches the project
}

TEST_F(BuildDialog, AFailedRunStaysOpenAtTheStageReached) {
  project.Files = {FileEntry{L"gone.bin", fx.sources, 5}};
  TForm3 form(project, fx.Folders(), dialogs);
  dialogs.onAsk = [&] {
    EXPECT_EQ(MarkOf(form, 1), form.CheckMark());
    EXPECT_EQ(MarkOf(form, 2), form.Arrow());
    EXPECT_EQ(MarkOf(form, 3), nullptr);
    EXPECT_EQ(MarkOf(form, 4), nullptr);
    EXPECT_FALSE(IsBold(form.StageLabel(1)));
    EXPECT_TRUE(IsBold(form.StageLabel(2)));
    EXPECT_EQ(GetText(form.StatusLine()), L"Добавление файла gone.bin");
    // The author closes the dialog through its frame once the box is gone.
    PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
  };

  EXPECT_FALSE(form.ShowModal(nullptr, 0));

  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].id, L"build.error");
  EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
  EXPECT_NE(dialogs.asked[0].text.find(L"gone.bin"), std::wstring::npos);
}

TEST_F(BuildDialog, CancelButtonStopsTheRunBetweenBlocks) {
  project.Files = {fx.AddSource(L"big.bin", 5000000, 1)};
  PayloadStageForm form(project, fx.Folders(), dialogs);
  form.atPayload = [](TForm3& f) { PostMessageW(f.CancelButton(), BM_CLICK, 0, 0); };
  dialogs.onAsk = [&] { EXPECT_EQ(GetText(form.StatusLine()), L"Создание отменено"); };

  EXPECT_FALSE(form.ShowModal(nullptr, 0));

  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].text, L"Создание программы установки отменено.");
}

TEST_F(BuildDialog, AFrameCloseDuringTheRunWaitsForItsEnd) {
  project.Files = {fx.AddSource(L"big.bin", 3000000, 1), FileEntry{L"gone.bin", fx.sources, 5}};
  PayloadStageForm form(project, fx.Folders(), dialogs);
  form.atPayload = [](TForm3& f) { PostMessageW(f.Handle(), WM_CLOSE, 0, 0); };

  EXPECT_FALSE(form.ShowModal(nullptr, 0));  // returns without anyone closing it again

  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].id, L"build.error");  // the run went on to its end
  EXPECT_EQ(GetFileSize64(fx.build + L"\\data.dat"), 3000000);
}
