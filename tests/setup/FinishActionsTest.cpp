#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "RecordingShell.h"
#include "setup/FinishActions.h"
#include "setup/SetupState.h"

namespace {
class AnsweringPrompter final : public Prompter {
 public:
  explicit AnsweringPrompter(int answer) : answer_(answer) {}
  std::vector<std::wstring> asked;
  int Ask(std::wstring_view id, const std::wstring& text, const std::wstring& caption,
          unsigned style) override {
    asked.push_back(std::wstring(id) + L"|" + caption + L"|" + text);
    EXPECT_EQ(style, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
    return answer_;
  }

 private:
  int answer_;
};

SetupState InstalledState() {
  SetupState state;
  state.Installed = true;
  state.InstallPath = L"C:\\Apps\\Kovrin";
  state.RunFileName = L"%InstallPath%\\bin\\Kovrin.exe";
  state.SiteAddress = L"http://example.org/%InstallPath%";
  return state;
}
}  // namespace

TEST(FinishActionsTest, RunsTheProgramThenOpensTheSiteInItsFolder) {
  SetupState state = InstalledState();
  state.UseRun = true;
  state.UseGoSite = true;
  RecordingShell shell;
  AnsweringPrompter prompter(IDYES);

  RunFinishActions(state, {true, true, false}, SW_SHOWMAXIMIZED, prompter, shell);

  const std::wstring folder = L"C:\\Apps\\Kovrin\\bin\\";
  EXPECT_EQ(shell.opened, (std::vector<RecordingShell::Call>{
                              {L"C:\\Apps\\Kovrin\\bin\\Kovrin.exe", L"", folder, 3},
                              {L"http://example.org/%InstallPath%", L"", folder, 3}}));
  EXPECT_EQ(shell.restarts, 0);
  EXPECT_TRUE(prompter.asked.empty());
}

TEST(FinishActionsTest, UntickedBoxesAndUnusedOptionsDoNothing) {
  SetupState state = InstalledState();
  state.UseRun = true;
  RecordingShell shell;
  AnsweringPrompter prompter(IDYES);
  RunFinishActions(state, {false, true, true}, SW_SHOWNORMAL, prompter, shell);
  EXPECT_TRUE(shell.opened.empty() && shell.restarts == 0)
      << "site and restart are not offered by the script";

  state.Installed = false;  // before the install the button only closes
  state.UseGoSite = state.UseReboot = true;
  RunFinishActions(state, {true, true, true}, SW_SHOWNORMAL, prompter, shell);
  EXPECT_TRUE(shell.opened.empty() && shell.restarts == 0);
}

TEST(FinishActionsTest, RestartIsAskedOrRequestedAtMostOnce) {
  const struct {
    bool ask, ticked;
    int answer, restarts;
    size_t questions;
  } cases[] = {{true, true, IDYES, 1, 1},
               {true, true, IDNO, 0, 1},
               {false, true, IDNO, 1, 0},
               {false, false, IDYES, 0, 0}};
  for (const auto& c : cases) {
    SetupState state = InstalledState();
    state.UseReboot = true;
    state.AskToReboot = c.ask;
    RecordingShell shell;
    AnsweringPrompter prompter(c.answer);
    RunFinishActions(state, {false, false, c.ticked}, SW_SHOWNORMAL, prompter, shell);
    SCOPED_TRACE(testing::Message()
                 << "ask " << c.ask << " ticked " << c.ticked << " answer " << c.answer);
    EXPECT_EQ(shell.restarts, c.restarts);
    EXPECT_TRUE(shell.opened.empty());
    ASSERT_EQ(prompter.asked.size(), c.questions);
    if (c.questions) {
      EXPECT_EQ(prompter.asked[0],
                L"setup.restart|Внимание|Для корретной работы установленой программы необходима "
                L"перезагрузка системы\r\n\r\nПерезагрузить компьютер сейчас?");
    }
  }
}
