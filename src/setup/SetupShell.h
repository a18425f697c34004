#pragma once
// The two outside effects of the finish step, behind interfaces that tests
// replace: a question to the end user, and the shell (open a program, a document
// or a web address; ask the system to restart).

#include <string>

class SetupQuestions {
public:
  virtual ~SetupQuestions() = default;
  // A Yes/No message box with the question icon; true for Yes.
  virtual bool AskYesNo(const std::wstring& caption, const std::wstring& text) = 0;
};

class SetupShell {
public:
  virtual ~SetupShell() = default;
  // The shell's "open" on a program, document or web address, with no parameters.
  virtual void Open(const std::wstring& target, const std::wstring& workingFolder, int showCommand) = 0;
  // The system restart request, not forced.
  virtual void RequestRestart() = 0;
};

// The real shell. The restart first enables the shutdown privilege, without which
// Windows NT and later refuse the request.
class SystemShell final : public SetupShell {
public:
  void Open(const std::wstring& target, const std::wstring& workingFolder, int showCommand) override;
  void RequestRestart() override;
};

// The show command the program itself was started with (SW_SHOWNORMAL by default).
int StartupShowCommand();
