#include <windows.h>

#include <gtest/gtest.h>

#include "support/Error.h"
#include "support/Handle.h"
#include "win/RichTextBox.h"

namespace {
// The start of a document through a pipe whose writer then hangs up, so that the
// reader's next read fails midway.
DWORD WINAPI SendStartAndHangUp(void* pipe) {
  const HANDLE server = static_cast<HANDLE>(pipe);
  ConnectNamedPipe(server, nullptr);
  const char start[] = "{\\rtf1\\ansi First";
  DWORD written = 0;
  WriteFile(server, start, sizeof start - 1, &written, nullptr);
  CloseHandle(server);
  return 0;
}
}  // namespace

// The stream's callback runs inside the rich-edit control: its error must not
// unwind through the control, yet must reach the caller, and the box keeps working.
TEST(RichTextBox, AReadErrorMidwayReachesTheCallerAfterTheBoxHasStopped) {
  const std::wstring pipe =
      L"\\\\.\\pipe\\kovrin-rich-text-" + std::to_wstring(GetCurrentProcessId());
  const HANDLE server = CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_OUTBOUND,
                                         PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  KernelHandle writer(CreateThread(nullptr, 0, &SendStartAndHangUp, server, 0, nullptr));
  ASSERT_TRUE(writer);

  HWND box = CreateWindowExW(0, RichEditClassName(), L"", ES_MULTILINE, 0, 0, 200, 100, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(box, nullptr);
  try {
    LoadRichTextFile(box, pipe);
    ADD_FAILURE() << "the failed read must be raised";
  } catch (const KovrinError& error) {
    EXPECT_EQ(error.Message().rfind(L"Unable to read from " + pipe, 0), 0u);
  }
  WaitForSingleObject(writer.Get(), 10000);

  SetRichText(box, "{\\rtf1 Second\\par}");
  EXPECT_EQ(GetRichPlainText(box), L"Second");
  DestroyWindow(box);
}
