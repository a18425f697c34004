#include <windows.h>

#include <gtest/gtest.h>

#include "support/Error.h"
#include "support/FileSystem.h"
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
  const Status loaded = LoadRichTextFile(box, pipe);
  ASSERT_FALSE(loaded) << "the failed read must be returned";
  EXPECT_EQ(loaded.Error().Message().rfind(L"Unable to read from " + pipe, 0), 0u);
  WaitForSingleObject(writer.Get(), 10000);

  SetRichText(box, "{\\rtf1 Second\\par}");
  EXPECT_EQ(GetRichPlainText(box), L"Second");
  DestroyWindow(box);
}

// A licence such as the GPL is about 35,000 characters: the box takes it whole,
// whether it is loaded from a file or set from memory, and hands it back whole.
// Windows cuts RTF streamed into a box at the box's text limit (32,767 until it is
// raised); Wine streams past it, so the limit itself is checked as well.
TEST(RichTextBox, TakesTextsAboveThirtyTwoThousandCharactersWhole) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 ";
  std::wstring expected;  // the text as the box hands it back
  for (int line = 0; expected.size() <= 35000; ++line) {
    rtf += "Line " + std::to_string(line) + " of a long licence, \\'cb\\'e8\\par\n";
    expected += L"Line " + std::to_wstring(line) + L" of a long licence, Ли\r\n";
  }
  rtf += "THE END}";
  expected += L"THE END";

  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"kovrin-long-licence.rtf";
  {
    BinaryFile file = BinaryFile::Create(path);
    file.Write(rtf.data(), static_cast<uint32_t>(rtf.size()));
  }
  for (int way = 0; way < 2; ++way) {
    HWND box = CreateWindowExW(0, RichEditClassName(), L"", ES_MULTILINE, 0, 0, 200, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(box, nullptr);
    if (way == 0)
      ASSERT_TRUE(LoadRichTextFile(box, path));
    else
      SetRichText(box, rtf);
    EXPECT_GE(SendMessageW(box, EM_GETLIMITTEXT, 0, 0), static_cast<LRESULT>(expected.size()))
        << way;
    const std::wstring text = GetRichPlainText(box);
    EXPECT_EQ(text.size(), expected.size()) << way;
    EXPECT_TRUE(text == expected) << way;
    // What the designer saves is the whole text too.
    const std::string saved = GetRichText(box);
    EXPECT_NE(saved.find("THE END"), std::string::npos) << way;
    DestroyWindow(box);
  }
  DeleteFileW(path.c_str());
}
