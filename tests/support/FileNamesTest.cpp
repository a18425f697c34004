#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "support/CommandLineWords.h"
#include "support/FileNames.h"
#include "support/FileSystem.h"
#include "support/Strings.h"

// The two rules side by side: names that Windows compares fold every letter,
// the kit's own keywords only Latin ones.
TEST(SameFileName, FoldsCyrillicWhereEqualNoCaseDoesNot) {
  struct Pair {
    const wchar_t* a;
    const wchar_t* b;
    bool sameFile;
    bool sameWord;
  };
  const Pair pairs[] = {
      {L"Файл.txt", L"ФАЙЛ.TXT", true, false},     {L"ёлка", L"ЁЛКА", true, false},
      {L"Setup.dat", L"setup.DAT", true, true},    {L"", L"", true, true},
      {L"setup.dat", L"setup.dat ", false, false}, {L"Файл", L"Фаил", false, false},
      {L"setup.lst", L"setup.ls", false, false},
  };
  for (const Pair& pair : pairs) {
    EXPECT_EQ(SameFileName(pair.a, pair.b), pair.sameFile) << Narrow(pair.a);
    EXPECT_EQ(EqualNoCase(pair.a, pair.b), pair.sameWord) << Narrow(pair.a);
  }
}

TEST(FileNamePart, TakesWhatFollowsTheLastSeparatorOfEitherKind) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"C:/Work/Проект.kovrin", L"Проект.kovrin"},
      {L"C:\\Work/mixed\\last.txt", L"last.txt"},
      {L"plain.txt", L"plain.txt"},
      {L"C:\\Work\\", L""},
      {L"", L""},
  };
  for (const auto& [path, name] : cases) {
    EXPECT_EQ(FileNamePart(path), name) << Narrow(path);
    // With FolderOf it splits the path without losing or doubling a character.
    EXPECT_EQ(FolderOf(path) + std::wstring(FileNamePart(path)), path) << Narrow(path);
  }
}

TEST(SplitCommandLine, FollowsTheSystemsQuotingRules) {
  EXPECT_EQ(SplitCommandLine(L"prog.exe /build \"C:\\My projects\\a.kovrin\" /out D:\\out"),
            (std::vector<std::wstring>{L"prog.exe", L"/build", L"C:\\My projects\\a.kovrin",
                                       L"/out", L"D:\\out"}));
  // A quoted program path keeps its blanks; an empty quoted argument is a word.
  EXPECT_EQ(SplitCommandLine(L"\"C:\\Program Files\\k.exe\"  \"\" last"),
            (std::vector<std::wstring>{L"C:\\Program Files\\k.exe", L"", L"last"}));
  // Quotes inside a word group blanks and vanish; \" is a literal quote.
  EXPECT_EQ(SplitCommandLine(L"p /LOG=\"C:\\a b\\u.log\" say\\\"hi\\\""),
            (std::vector<std::wstring>{L"p", L"/LOG=C:\\a b\\u.log", L"say\"hi\""}));
  EXPECT_EQ(SplitCommandLine(L"p \"Программа «Тест»\""),
            (std::vector<std::wstring>{L"p", L"Программа «Тест»"}));
}
