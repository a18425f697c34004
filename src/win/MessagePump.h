#pragma once
// The programs' message loops: the main loop, the loop of a modal dialog, and the
// pump that lets pending messages run while long work holds the GUI thread.

#include <windows.h>

#include <optional>

class Window;

// Runs until a quit request; messages for `main` go through IsDialogMessage (Tab,
// Enter) while it has a window. Keys pressed in `main` or its controls are first
// looked up in `accelerators` (when given), whose commands go to `main`.
void RunMessageLoop(const Window& main, HACCEL accelerators = nullptr);

// Lets pending messages run during long work; messages of `dialog` go through
// IsDialogMessage. A quit request met meanwhile is held back, so the work ends as it
// chooses and its message boxes still show, and is posted again when the pump goes.
class MessagePump {
 public:
  explicit MessagePump(HWND dialog = nullptr) : dialog_(dialog) {}
  ~MessagePump();
  MessagePump(const MessagePump&) = delete;
  MessagePump& operator=(const MessagePump&) = delete;

  // Dispatches every queued message; false once a quit request has come.
  bool Run();

 private:
  HWND dialog_;
  std::optional<int> quitCode_;
};

// A modal dialog's time on screen: its owner, if enabled, is disabled meanwhile and
// enabled again when this ends, before the dialog goes, so it takes the activation back.
class ModalLoop {
 public:
  ModalLoop(HWND dialog, HWND owner);
  ~ModalLoop();
  ModalLoop(const ModalLoop&) = delete;
  ModalLoop& operator=(const ModalLoop&) = delete;

  // Runs the thread's messages until `closed` turns true or the dialog is gone. A
  // quit request ends the loop too and is posted again for the main loop.
  void Run(const bool& closed);

 private:
  HWND dialog_;
  HWND owner_;
  bool ownerWasEnabled_;
};
