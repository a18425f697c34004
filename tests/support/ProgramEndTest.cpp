#include <gtest/gtest.h>

#include "TestUtil.h"

namespace {
struct Ending {
  DWORD code;
  std::wstring reported;  // every message the program end saw, one per line
};

Ending RunProbe(const std::wstring& how) {
  TempDir dir;
  const std::wstring report = dir / L"report.txt";
  const DWORD code = RunAndWait(L"\"" + ProgramFolder() + L"program_end_probe.exe\" " + how +
                                L" \"" + report + L"\"");
  const std::string bytes = FileExists(report) ? ReadFileBytes(report) : std::string();
  return {code, std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                             bytes.size() / sizeof(wchar_t))};
}
}  // namespace

// Without exceptions, every error the libraries raise ends the program with
// the code it set, after one report of the error's own message.
TEST(ProgramEnd, RaisedErrorsEndWithTheirMessage) {
  EXPECT_EQ(RunProbe(L"none").code, 0u);
  const Ending raised = RunProbe(L"raise");
  EXPECT_EQ(raised.code, 7u);
  EXPECT_EQ(raised.reported, L"raise\n");
  const Ending read = RunProbe(L"read");
  EXPECT_EQ(read.code, 7u);
  EXPECT_EQ(
      read.reported.rfind(L"Cannot open file \"C:\\kovrin-no-such-folder\\no-such-file.ini\". ", 0),
      0u)
      << Narrow(read.reported);
}

TEST(ProgramEnd, MemoryAndLibraryErrorsEndTheSameWay) {
  const Ending memory = RunProbe(L"memory");
  EXPECT_EQ(memory.code, 7u);
  EXPECT_EQ(memory.reported, L"Out of memory\n");
  const Ending length = RunProbe(L"length");
  EXPECT_EQ(length.code, 7u);
  EXPECT_EQ(length.reported, L"basic_string::_M_create\n");
}

// An error raised while the report runs ends the program there: no loop, no
// second report.
TEST(ProgramEnd, AnErrorInsideTheReportEndsAtOnce) {
  const Ending twice = RunProbe(L"twice");
  EXPECT_EQ(twice.code, 7u);
  EXPECT_EQ(twice.reported, L"twice\n");
}
