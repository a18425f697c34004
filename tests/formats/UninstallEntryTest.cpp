#include <gtest/gtest.h>

#include "formats/UninstallEntry.h"
#include "formats/UninstallRecord.h"

TEST(UninstallEntryTest, EstimatedSizeIsKilobytesRoundedUpAndFitsADword) {
  EXPECT_EQ(EstimatedSizeKb(0), 0u);
  EXPECT_EQ(EstimatedSizeKb(-5), 0u);
  EXPECT_EQ(EstimatedSizeKb(1), 1u);
  EXPECT_EQ(EstimatedSizeKb(1024), 1u);
  EXPECT_EQ(EstimatedSizeKb(1025), 2u);
  EXPECT_EQ(EstimatedSizeKb(5LL * 1024 * 1024 * 1024 + 1), 5u * 1024 * 1024 + 1);
  EXPECT_EQ(EstimatedSizeKb(INT64_MAX), 0xFFFFFFFFu);
}

TEST(UninstallEntryTest, InstallDateIsEightDigits) {
  EXPECT_EQ(InstallDateText(2024, 3, 7), L"20240307");
  EXPECT_EQ(InstallDateText(1999, 12, 31), L"19991231");
}

// The registered line itself reads back whole: UninstallRecordTest.
TEST(UninstallEntryTest, TheQuietCommandIsTheRegisteredOneWithTheSilentSwitch) {
  const std::wstring registered =
      UninstallCommandLine(L"C:\\windows", L"C:\\Program Files\\Ковёр", L"Ковёр 2");
  EXPECT_EQ(QuietUninstallCommand(registered), registered + L" /S");
}

TEST(UninstallEntryTest, ProgramNamesWithQuotesOrBackslashesAreRefused) {
  EXPECT_EQ(ProgramNameProblem(L"Программа «Учёт» 2.0"), L"");
  EXPECT_NE(ProgramNameProblem(L"Программа \"Учёт\"").find(L"кавычки"), std::wstring::npos);
  EXPECT_NE(ProgramNameProblem(L"Фирма\\Учёт").find(L"косую черту"), std::wstring::npos);
}

TEST(UninstallEntryTest, LinkFoldersAreEachLinksFolderOnceAndSplitBack) {
  const std::wstring value = LinkFoldersValue({L"Q:\\Users\\Админ\\Desktop\\Учёт.lnk",
                                               L"Q:\\USERS\\админ\\desktop\\Справка.lnk",
                                               L"D:\\Menu\\Учёт\\Учёт.lnk", L"NoFolder.lnk"});
  // Folders compare as the file system does, without regard to case.
  EXPECT_EQ(SplitLinkFolders(value),
            (std::vector<std::wstring>{L"Q:\\Users\\Админ\\Desktop", L"D:\\Menu\\Учёт"}));
  EXPECT_EQ(LinkFoldersValue({L"Q:\\A\\x.lnk", L"q:\\a\\y.lnk"}), L"Q:\\A");
  EXPECT_EQ(SplitLinkFolders(L"|C:\\A||D:\\B|"), (std::vector<std::wstring>{L"C:\\A", L"D:\\B"}));
  EXPECT_TRUE(SplitLinkFolders(L"").empty());
}
