#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "setup/FinishActions.h"
#include "setup/SetupState.h"

namespace {
class RecordingShell final : public ShellActions {
public:
  std::vector<std::wstring> calls;
  bool Open(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
            int showCommand) override {
    calls.push_back(L"open " + file + L" [" + parameters + L"] in " + folder + L" show " +
                    std::to_wstring(showCommand));
    return true;
  }
  bool RequestRestart() override {
    calls.push_back(L"restart");
    return true;
  }
};

class AnsweringPrompter final : public Prompter {
public:
  explicit AnsweringPrompter(int answer) : answer_(answer) {}
  std::vector<std::wstring> asked;
  int Ask(std::wstring_view id, const std::wstring& text, const std::wstring& caption, unsigned style) override {
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

  EXPECT_EQ(shell.calls, (std::vector<std::wstring>{
                             L"open C:\\Apps\\Kovrin\\bin\\Kovrin.exe [] in C:\\Apps\\Kovrin\\bin\\ show 3",
                             L"open http://example.org/%InstallPath% [] in C:\\Apps\\Kovrin\\bin\\ show 3"}));
  EXPECT_TRUE(prompter.asked.empty());
}

TEST(FinishActionsTest, UntickedBoxesAndUnusedOptionsDoNothing) {
  SetupState state = InstalledState();
  state.UseRun = true;
  RecordingShell shell;
  AnsweringPrompter prompter(IDYES);
  RunFinishActions(state, {false, true, true}, SW_SHOWNORMAL, prompter, shell);
  EXPECT_TRUE(shell.calls.empty()) << "site and restart are not offered by the script";

  state.Installed = false;  // before the install the button only closes
  state.UseGoSite = state.UseReboot = true;
  RunFinishActions(state, {true, true, true}, SW_SHOWNORMAL, prompter, shell);
  EXPECT_TRUE(shell.calls.empty());
}

TEST(FinishActionsTest, RestartIsAskedOrRequestedAtMostOnce) {
  SetupState asking = InstalledState();
  asking.UseReboot = asking.AskToReboot = true;
  RecordingShell yesShell;
  AnsweringPrompter yes(IDYES);
  RunFinishActions(asking, {false, false, true}, SW_SHOWNORMAL, yes, yesShell);
  EXPECT_EQ(yesShell.calls, std::vector<std::wstring>{L"restart"});
  ASSERT_EQ(yes.asked.size(), 1u);
  EXPECT_EQ(yes.asked[0], L"setup.restart|Внимание|Для корретной работы установленой программы необходима "
                          L"перезагрузка системы\r\n\r\nПерезагрузить компьютер сейчас?");

  RecordingShell noShell;
  AnsweringPrompter no(IDNO);
  RunFinishActions(asking, {false, false, true}, SW_SHOWNORMAL, no, noShell);
  EXPECT_TRUE(noShell.calls.empty());

  SetupState box = InstalledState();
  box.UseReboot = true;
  RecordingShell boxShell;
  RunFinishActions(box, {false, false, true}, SW_SHOWNORMAL, no, boxShell);
  EXPECT_EQ(boxShell.calls, std::vector<std::wstring>{L"restart"});
  RecordingShell untickedShell;
  RunFinishActions(box, {false, false, false}, SW_SHOWNORMAL, no, untickedShell);
  EXPECT_TRUE(untickedShell.calls.empty());
}
