#include <windows.h>
#include <commctrl.h>

#include "designer/Product.h"
#include "designer/ui/application_window.h"
#include "designer/ui/create_main.h"
#include "support/ComScope.h"
#include "support/Environment.h"
#include "support/FileSystem.h"
#include "support/QRegistry.h"
#include "win/Application.h"
#include "win/Dialogs.h"
#include "win/RichTextBox.h"

namespace {
// Another designer is running: offer to switch to it. True when this one must end.
bool OtherInstanceRunning(Dialogs& dialogs) {
  HWND running = FindWindowW(nullptr, kApplicationTitle);
  if (!running)
    return false;
  if (dialogs.Ask(L"AlreadyRunning", L"Программа уже запущена. Переключиться на нее?", L"Проверка",
                  MB_YESNO | MB_ICONWARNING) == IDYES) {
    ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
  }
  return true;
}

// Only the width is tested.
bool ScreenAccepted(Dialogs& dialogs) {
  if (GetSystemMetrics(SM_CXSCREEN) >= 800)
    return true;
  return dialogs.Ask(L"LowResolution", L"Разрешение экрана меньше 800x600. Продолжить выполнение программы?",
                     L"Проверка", MB_YESNO | MB_ICONWARNING) == IDYES;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  SystemDialogs dialogs;
  if (OtherInstanceRunning(dialogs) || !ScreenAccepted(dialogs))
    return 0;

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  LoadRichEditLibrary();
  ComScope com;  // the shell's folder browser needs it
  RegistryScope registry;
  InitPathVariables();

  SetApplicationTitle(kApplicationTitle);
  TApplicationWindow application;
  application.Create();
  SetApplicationWindow(application.Handle());

  SystemShellActions shell;
  TForm1 main(dialogs, shell, ProgramFolder());
  main.Create(application.Handle());
  application.SetMainWindow(main.Handle());
  ShowWindow(main.Handle(), SW_SHOWNORMAL);
  UpdateWindow(main.Handle());

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(main.Handle(), &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  SetApplicationWindow(nullptr);
  return 0;
}
