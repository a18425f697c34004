#include <gtest/gtest.h>

#include "TestUtil.h"
#include "support/CodePage.h"
#include "support/Handle.h"
#include "support/ParentConsole.h"

namespace {
// Standard output and error point at two files while this lives.
class RedirectedStreams {
 public:
  RedirectedStreams(const std::wstring& out, const std::wstring& error)
      : oldOut_(GetStdHandle(STD_OUTPUT_HANDLE)), oldError_(GetStdHandle(STD_ERROR_HANDLE)) {
    out_.Reset(Create(out));
    error_.Reset(Create(error));
    SetStdHandle(STD_OUTPUT_HANDLE, out_.Get());
    SetStdHandle(STD_ERROR_HANDLE, error_.Get());
  }
  ~RedirectedStreams() {
    SetStdHandle(STD_OUTPUT_HANDLE, oldOut_);
    SetStdHandle(STD_ERROR_HANDLE, oldError_);
  }

 private:
  static HANDLE Create(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0,
                       nullptr);
  }
  HANDLE oldOut_, oldError_;
  FileHandle out_, error_;
};
}  // namespace

// A script's redirection or pipe: UTF-8 lines ended with CR LF, each stream its own.
TEST(ParentConsole, InheritedStreamsTakeUtf8Lines) {
  TempDir dir;
  {
    RedirectedStreams streams(dir / L"out.txt", dir / L"err.txt");
    ParentConsole console;
    console.Out(L"[1/4] Создание INI файла");
    console.Out(L"");
    console.Error(L"Проект не собран: ошибка");
  }
  EXPECT_EQ(ReadFileBytes(dir / L"out.txt"), ToUtf8(L"[1/4] Создание INI файла\r\n\r\n"));
  EXPECT_EQ(ReadFileBytes(dir / L"err.txt"), ToUtf8(L"Проект не собран: ошибка\r\n"));
}
