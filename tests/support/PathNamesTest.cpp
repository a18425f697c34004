#include <gtest/gtest.h>

#include "TestUtil.h"
#include "support/CodePage.h"
#include "support/PathNames.h"

TEST(PathNamesTest, RelativeNamesStayBelowTheFolderAndCanBeCreated) {
  for (const wchar_t* good : {L"a.txt", L"docs\\readme.txt", L"a/b.txt", L"..a\\b", L"x..y",
                              L"CONFIG.SYS", L"COM10.txt", L"nul_file", L"Папка\\файл.txt"})
    EXPECT_TRUE(IsSafeRelativeName(good)) << Narrow(good);
  for (const wchar_t* bad : {L"",         L"..",           L"..\\a",        L"a\\..\\..\\b",
                             L"a/../b",   L"\\a",          L"/a",           L"\\\\server\\share\\a",
                             L"C:\\a",    L"c:a",          L"a.txt:stream", L"a\\... \\b",
                             L"a\\.. ",   L".\\a.txt",     L"a\\\\b",       L"CON",
                             L"nul.txt",  L"sub\\nul.txt", L"Com1",         L"LPT9.log",
                             L"aux .txt", L"CONIN$",       L"name.",        L"name ",
                             L"dir.\\a",  L"a?b",          L"a*b",          L"a|b",
                             L"a\"b",     L"a<b",          L"a\tb"})
    EXPECT_FALSE(IsSafeRelativeName(bad)) << Narrow(bad);
}

TEST(PathNamesTest, AbsolutePathsHaveADriveOrAServer) {
  for (const wchar_t* good : {L"C:\\", L"C:\\Program Files\\A", L"d:/x", L"\\\\srv\\share\\a"})
    EXPECT_TRUE(IsAbsolutePath(good)) << Narrow(good);
  for (const wchar_t* bad : {L"", L"C:", L"C:name", L"\\name", L"name", L"Program Files\\A",
                             L"\\\\?\\C:\\a", L"\\\\.\\COM1", L"\\\\srv"})
    EXPECT_FALSE(IsAbsolutePath(bad)) << Narrow(bad);
  EXPECT_TRUE(IsPortableAbsolutePath(L"C:\\Program Files\\A\\"));
  EXPECT_FALSE(IsPortableAbsolutePath(L"C:\\Program Files\\NUL\\A"));
  EXPECT_FALSE(IsPortableAbsolutePath(L"C:\\A.\\B"));
}

TEST(PathNamesTest, InsideComparesNormalisedPathsWithoutRegardToCase) {
  TempDir dir;
  const std::wstring folder = dir / L"App";
  EXPECT_TRUE(IsPathInside(folder + L"\\a.txt", folder));
  EXPECT_TRUE(IsPathInside(FoldedPath(folder) + L"\\SUB\\a.txt", folder + L"\\"));
  EXPECT_TRUE(IsPathInside(folder + L"/sub/./a.txt", folder));
  EXPECT_FALSE(IsPathInside(folder, folder));
  EXPECT_FALSE(IsPathInside(folder + L"\\..\\a.txt", folder));
  EXPECT_FALSE(IsPathInside(folder + L"\\sub\\..\\..\\App2\\a.txt", folder));
  EXPECT_FALSE(IsPathInside(folder + L"2\\a.txt", folder));  // a sibling sharing the prefix
  EXPECT_FALSE(IsPathInside(L"\\\\server\\share\\a.txt", folder));
}

TEST(PathNamesTest, LongFullPathExpandsShortNamesAndKeepsTheRestAsWritten) {
  TempDir dir;
  const std::wstring folder = dir / L"A folder with a long name";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring shortFolder = ShortPathName(folder);
  ASSERT_NE(shortFolder.find(L'~'), std::wstring::npos) << Narrow(shortFolder);
  // An existing short head is expanded, a missing tail follows as written.
  EXPECT_EQ(FoldedPath(LongFullPath(shortFolder + L"\\new\\file.txt")),
            FoldedPath(LongFullPath(folder) + L"\\new\\file.txt"));
  EXPECT_TRUE(IsPathInside(shortFolder + L"\\file.txt", folder));
  EXPECT_TRUE(IsPathInside(folder + L"\\file.txt", shortFolder));
  // Without a short name the path is only made full: separators, dots, no trailing one.
  const std::wstring longFolder = LongFullPath(folder);
  EXPECT_EQ(FoldedPath(longFolder), FoldedPath(folder));
  EXPECT_EQ(LongFullPath(folder + L"/sub/./missing\\"), longFolder + L"\\sub\\missing");
}

TEST(PathNamesTest, Cp1251HoldsCyrillicButNotOtherLetters) {
  EXPECT_TRUE(Cp1251CanHold(L"C:\\Program Files\\Программа №1 «x»"));
  EXPECT_FALSE(Cp1251CanHold(L"C:\\Program Files\\M\u00fcller"));
  EXPECT_FALSE(Cp1251CanHold(L"C:\\Users\\Zo\u00eb"));
  EXPECT_FALSE(Cp1251CanHold(L"\u65e5\u672c.txt"));
}
