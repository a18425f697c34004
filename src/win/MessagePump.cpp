#include "win/MessagePump.h"

#include "win/Window.h"

namespace {
void Dispatch(HWND dialog, MSG& message) {
  if (dialog && IsDialogMessageW(dialog, &message))
    return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}
}  // namespace

void RunMessageLoop(const Window& main, HACCEL accelerators) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    const HWND window = main.Handle();
    if (accelerators && window && (message.hwnd == window || IsChild(window, message.hwnd)) &&
        TranslateAcceleratorW(window, accelerators, &message))
      continue;
    Dispatch(window, message);
  }
}

MessagePump::~MessagePump() {
  if (quitCode_)
    PostQuitMessage(*quitCode_);
}

bool MessagePump::Run() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quitCode_ = static_cast<int>(message.wParam);
      break;
    }
    Dispatch(dialog_, message);
  }
  return !quitCode_;
}

ModalLoop::ModalLoop(HWND dialog, HWND owner)
    : dialog_(dialog), owner_(owner), ownerWasEnabled_(owner && IsWindowEnabled(owner)) {
  if (ownerWasEnabled_)
    EnableWindow(owner_, FALSE);
}

ModalLoop::~ModalLoop() {
  if (ownerWasEnabled_)
    EnableWindow(owner_, TRUE);
}

void ModalLoop::Run(const bool& closed) {
  MSG message;
  while (!closed && IsWindow(dialog_)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0)
        PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    Dispatch(dialog_, message);
  }
}
