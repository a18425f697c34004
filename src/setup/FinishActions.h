#pragma once
// What "Готово" does after the install, before the window closes.

#include "setup/SetupShell.h"

struct SetupState;

// The three boxes of the finish page as the end user left them.
struct FinishChoices {
  bool RunProgram = false;  // "Запустить установленную программу"
  bool OpenSite = false;    // "Зайти на зайт программы"
  bool Restart = false;     // "Перезагрузить компьютер"
};

inline constexpr wchar_t kRestartCaption[] = L"Внимание";
inline constexpr wchar_t kRestartQuestion[] =
    L"Для корретной работы установленой программы необходима перезагрузка системы\r\n\r\n"
    L"Перезагрузить компьютер сейчас?";

// In order: start the program (RunFileName expanded; its folder as the working
// folder), open the site (SiteAddress as written, same working folder), ask for
// the restart when AskToReboot, or request it when the box is ticked. Before the
// install (state.Installed false) it does nothing: the button only closes.
void RunFinishActions(const SetupState& state, const FinishChoices& choices, int showCommand,
                      SetupQuestions& questions, SetupShell& shell);
