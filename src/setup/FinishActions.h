#pragma once
// What "Готово" does after the install, before the window closes.

#include "support/Prompts.h"
#include "support/ShellActions.h"

struct SetupState;

// The three boxes of the finish page as the end user left them.
struct FinishChoices {
  bool RunProgram = false;  // "Запустить установленную программу"
  bool OpenSite = false;    // "Зайти на зайт программы"
  bool Restart = false;     // "Перезагрузить компьютер"
};

inline constexpr wchar_t kRestartPromptId[] = L"setup.restart";
inline constexpr wchar_t kRestartCaption[] = L"Внимание";
inline constexpr wchar_t kRestartQuestion[] =
    L"Для корретной работы установленой программы необходима перезагрузка системы\r\n\r\n"
    L"Перезагрузить компьютер сейчас?";

// In order: start the program (RunFileName expanded; its folder as the working
// folder), open the site (SiteAddress as written, same working folder), then ask
// for the restart when AskToReboot, or request it when its box is ticked; at most
// one request. Before the install (state.Installed false) it does nothing.
void RunFinishActions(const SetupState& state, const FinishChoices& choices, int showCommand,
                      Prompter& prompter, ShellActions& shell);

// The show command the setup program itself was started with (SW_SHOWNORMAL when none).
int StartupShowCommand();
