#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "formats/ProjectValues.h"

namespace {
std::wstring Decoded(const std::wstring& raw) {
  std::wstring problem;
  std::optional<std::wstring> value = DecodeProjectValue(raw, problem);
  EXPECT_TRUE(value.has_value()) << Narrow(raw) << ": " << Narrow(problem);
  return value.value_or(L"<failed>");
}

std::wstring Problem(const std::wstring& raw) {
  std::wstring problem;
  EXPECT_FALSE(DecodeProjectValue(raw, problem).has_value()) << Narrow(raw);
  return problem;
}
}  // namespace

// Values that read back by trimming stay as typed (paths keep single
// backslashes); anything else is quoted, and every one decodes to itself.
TEST(ProjectValue, EncodesOnlyWhatNeedsItAndDecodesEverythingBack) {
  struct Case {
    std::wstring value;
    std::wstring encoded;
  };
  const std::vector<Case> cases = {
      {L"", L""},
      {L"C:\\MySetup\\", L"C:\\MySetup\\"},
      {L"%ProgramFiles%\\%CompanyName%", L"%ProgramFiles%\\%CompanyName%"},
      {L"a=b [c] ;d \"e\" 'f'", L"a=b [c] ;d \"e\" 'f'"},
      {L"Кириллица ж", L"Кириллица ж"},
      {L"smile \xD83D\xDE00", L"smile \xD83D\xDE00"},
      {L" leading", L"\" leading\""},
      {L"trailing\t", L"\"trailing\\t\""},
      {L"\"quoted\"", L"\"\\\"quoted\\\"\""},
      {L"line\r\nbreak\\", L"\"line\\r\\nbreak\\\\\""},
      {std::wstring(L"nul\0bell\x07", 9), L"\"nul\\x00bell\\x07\""},
      {L"lone \xD800 high", L"\"lone \\uD800 high\""},
      {L"lone \xDC00 low", L"\"lone \\uDC00 low\""},
      {L"separator \x2028 next\x85", L"\"separator \\u2028 next\\x85\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeProjectValue(c.value), c.encoded) << Narrow(c.encoded);
    EXPECT_EQ(Decoded(c.encoded), c.value) << Narrow(c.encoded);
  }
  // RTF lines are bytes: above 0x7F they are written as \xHH.
  EXPECT_EQ(EncodeProjectValue(L"{\\rtf1 \xCF\xF0}", true), L"\"{\\\\rtf1 \\xCF\\xF0}\"");
  EXPECT_EQ(EncodeProjectValue(L"{\\rtf1 plain}", true), L"{\\rtf1 plain}");
  EXPECT_EQ(Decoded(L"\"{\\\\rtf1 \\xCF\\xF0}\""), L"{\\rtf1 \xCF\xF0}");
}

TEST(ProjectValue, BlanksAroundAValueAreNotPartOfIt) {
  EXPECT_EQ(Decoded(L"  typed by hand \t"), L"typed by hand");
  EXPECT_EQ(Decoded(L"  \"  kept  \"  "), L"  kept  ");
  EXPECT_EQ(Decoded(L"\"\""), L"");
  EXPECT_EQ(Decoded(L"ends with a quote\""), L"ends with a quote\"");
}

TEST(ProjectValue, MalformedQuotedValuesSayWhatIsWrong) {
  EXPECT_EQ(Problem(L"\"no end"), L"значение в кавычках должно кончаться двойной кавычкой");
  EXPECT_EQ(Problem(L"\""), L"значение в кавычках должно кончаться двойной кавычкой");
  EXPECT_EQ(Problem(L"\"in\"side\""), L"двойную кавычку внутри значения в кавычках пишут как \\\"");
  EXPECT_EQ(Problem(L"\"bad \\q\""), L"неизвестная последовательность \\q");
  EXPECT_EQ(Problem(L"\"short \\x4\""), L"после \\x нужны 2 шестнадцатеричные цифры");
  EXPECT_EQ(Problem(L"\"short \\u12G4\""), L"после \\u нужны 4 шестнадцатеричные цифры");
  EXPECT_EQ(Problem(L"\"cut \\\""), L"значение обрывается на обратной косой черте");
}

TEST(ProjectFolders, BelowTheProjectRelativeElsewhereAbsoluteAndBackAgain) {
  const std::wstring project = L"C:\\Work\\Demo";
  struct Case {
    std::wstring local, stored;
  };
  const std::vector<Case> cases = {
      {L"C:\\Work\\Demo\\files\\app", L"files\\app"},
      {L"C:\\Work\\Demo\\files\\app\\", L"files\\app\\"},
      {L"c:\\WORK\\demo\\Files", L"Files"},  // the prefix matches without case
      {L"C:\\Work\\Demo", L"."},
      {L"C:\\Work\\Demo\\", L".\\"},
      {L"C:\\Work\\Demonstration\\x", L"C:\\Work\\Demonstration\\x"},
      {L"C:\\Work", L"C:\\Work"},
      {L"D:\\Other\\", L"D:\\Other\\"},
      {L"\\\\server\\share\\dir", L"\\\\server\\share\\dir"},
      {L"C:\\Work\\Demo\\\\double",
       L"C:\\Work\\Demo\\\\double"},  // "\double" would read as absolute
      {L"C:\\Work\\Demo\\.", L"C:\\Work\\Demo\\."},
      {L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StoredSourceFolder(c.local, project), c.stored) << Narrow(c.local);
    // Read back where it was saved, the folder is the same one.
    EXPECT_EQ(_wcsicmp(ResolvedSourceFolder(c.stored, project).c_str(), c.local.c_str()), 0)
        << Narrow(c.local);
  }
  // Moved elsewhere, relative folders follow the project and absolute ones stay.
  EXPECT_EQ(ResolvedSourceFolder(L"files\\app", L"E:\\Checkout"), L"E:\\Checkout\\files\\app");
  EXPECT_EQ(ResolvedSourceFolder(L".", L"E:\\Checkout"), L"E:\\Checkout");
  EXPECT_EQ(ResolvedSourceFolder(L".\\", L"E:\\Checkout"), L"E:\\Checkout\\");
  EXPECT_EQ(ResolvedSourceFolder(L"D:\\Other\\", L"E:\\Checkout"), L"D:\\Other\\");
  EXPECT_EQ(ResolvedSourceFolder(L"..\\shared", L"E:\\Checkout"), L"E:\\Checkout\\..\\shared");
}

TEST(ProjectFolders, ProjectFolderOfAPath) {
  EXPECT_EQ(ProjectFolderOf(L"C:\\Work\\Demo\\demo.kovrin"), L"C:\\Work\\Demo");
  EXPECT_EQ(ProjectFolderOf(L"C:\\demo.kovrin"), L"C:\\");
  EXPECT_EQ(StoredSourceFolder(L"C:\\files", L"C:\\"), L"files");
  EXPECT_EQ(StoredSourceFolder(L"C:\\", L"C:\\"), L".");
  EXPECT_EQ(ResolvedSourceFolder(L"files", L"C:\\"), L"C:\\files");
  EXPECT_EQ(ProjectFolderOf(L"\\\\server\\share\\demo.kovrin"), L"\\\\server\\share");
}
