#include <gtest/gtest.h>

#include "TestPackage.h"
#include "setup/ScriptLoading.h"
#include "setup/SetupState.h"
#include "support/Error.h"

namespace {
using Pages = std::vector<std::wstring>;

SetupState Loaded(const TestPackage& package) {
  SetupState state = package.State();
  const Status read = ReadSetupScript(state);
  EXPECT_TRUE(read) << Narrow(read.Error().Message());
  return state;
}

// The message ExtractTexts failed with, or "" when it passed.
std::wstring ExtractError(SetupState& state) {
  const Status extracted = ExtractTexts(state);
  return extracted ? L"" : extracted.Error().Message();
}
}  // namespace

TEST(ReadSetupScript, NoScriptGivesEveryDefaultAndTwoPages) {
  TestPackage package(L"");
  SetupState state = Loaded(package);
  EXPECT_EQ(state.ProgramName, L"!!!ProgramName!!!");
  EXPECT_EQ(state.CompanyName, L"!!!CompanyName!!!");
  EXPECT_EQ(state.InstallPath, L"");
  EXPECT_EQ(state.CountOfFiles, 0);
  EXPECT_EQ(state.SummarySize, 0);
  EXPECT_FALSE(state.UseUninstall);
  EXPECT_EQ(BuildPageList(state), (Pages{L"Характеристика", L"Путь установки"}));
}

TEST(ReadSetupScript, FlagsOfMainAreWordsAndOfExtendedDigits) {
  const struct {
    const wchar_t* value;
    bool main, extended;
  } cases[] = {{L"yes", true, false}, {L"YES", true, false},  {L"Yes", true, false},
               {L"Y", false, false},  {L"1", false, true},    {L"", false, false},
               {L"-3", false, true},  {L"Yess", false, false}};
  for (const auto& c : cases) {
    std::wstring v = c.value;
    TestPackage package(L"[Main]\r\nUseReadMe=" + v + L"\r\nUseLicense=" + v +
                        L"\r\n[Extended]\r\nUseReboot=" + v + L"\r\nAskToReboot=" + v +
                        L"\r\nUseRun=" + v + L"\r\nUseGoSite=" + v + L"\r\nUseUninstall=" + v +
                        L"\r\n");
    SetupState s = Loaded(package);
    SCOPED_TRACE(Narrow(v));
    EXPECT_EQ(s.UseReadMe, c.main);
    EXPECT_EQ(s.UseLicense, c.main);
    EXPECT_EQ(s.UseReboot, c.extended);
    EXPECT_EQ(s.AskToReboot, c.extended);
    EXPECT_EQ(s.UseRun, c.extended);
    EXPECT_EQ(s.UseGoSite, c.extended);
    EXPECT_EQ(s.UseUninstall, c.extended);
  }
}

TEST(ReadSetupScript, ValuesFontsAndSizes) {
  TestPackage package(
      L"[Main]\r\nInstallPath=%ProgramFiles%\\Фирма\r\nProgramName= Редактор \r\n"
      L"CompanyName=Фирма\r\nUseReadMe=Yes\r\nUseLicense=Yes\r\n"
      L"[One_Data]\r\nSummarySize=-1294967296\r\nCountOfFiles=3\r\n"
      L"[ReadMe]\r\nType=txt\r\nFontSize=10\r\nFontColor=-16777208\r\nFontName=Courier "
      L"New\r\nSize=5\r\n"
      L"[License]\r\nType=RTF\r\nSize=7\r\n"
      L"[Extended]\r\nRunFileName=%InstallPath%\\a.exe\r\nSiteAddress=http://example.org/\r\n");
  SetupState s = Loaded(package);
  EXPECT_EQ(s.InstallPath, L"%ProgramFiles%\\Фирма");  // not expanded when read
  EXPECT_EQ(s.ProgramName, L"Редактор");
  EXPECT_EQ(s.CompanyName, L"Фирма");
  EXPECT_EQ(s.SummarySize, -1294967296);
  EXPECT_EQ(s.CountOfFiles, 3);
  EXPECT_FALSE(s.ReadMe.IsRtf);
  EXPECT_EQ(s.ReadMe.FontName, L"Courier New");
  EXPECT_EQ(s.ReadMe.FontSize, 10);
  EXPECT_EQ(s.ReadMe.FontColor, -16777208);
  EXPECT_EQ(s.ReadMe.Size, 5);
  EXPECT_TRUE(s.License.IsRtf);
  EXPECT_EQ(s.License.FontName, L"Arial");  // the defaults where the keys are missing
  EXPECT_EQ(s.License.FontSize, 12);
  EXPECT_EQ(s.License.FontColor, 0);
  EXPECT_EQ(s.License.Size, 7);
  EXPECT_EQ(s.RunFileName, L"%InstallPath%\\a.exe");
  EXPECT_EQ(s.SiteAddress, L"http://example.org/");
}

TEST(ReadSetupScript, TextSectionsOfUnusedTextsAreIgnored) {
  TestPackage package(L"[Main]\r\nUseReadMe=No\r\n[ReadMe]\r\nSize=100\r\nType=txt\r\n");
  SetupState s = Loaded(package);
  EXPECT_EQ(s.ReadMe.Size, 0);
  EXPECT_TRUE(s.ReadMe.IsRtf);
}

TEST(ReadSetupScript, AbsurdCountsAreReadWithoutHarm) {
  for (const wchar_t* count : {L"-5", L"2000000000"}) {
    TestPackage package(std::wstring(L"[One_Data]\r\nCountOfFiles=") + count +
                        L"\r\n[One_ShortCuts]\r\nCountOfShortCuts=" + count + L"\r\n");
    SetupState s = Loaded(package);
    EXPECT_EQ(std::to_wstring(s.CountOfFiles), count);
    EXPECT_EQ(s.FileList.size(), 0u);  // nothing is sized by a count at start-up
    EXPECT_EQ(s.ShortcutList.size(), 0u);
    const bool shortcuts = s.CountOfShortCuts > 0;
    EXPECT_EQ(BuildPageList(s).back() == L"Ярлыки", shortcuts);
  }
}

TEST(BuildPageList, EachCombinationInItsOrder) {
  SetupState s;
  EXPECT_EQ(BuildPageList(s), (Pages{L"Характеристика", L"Путь установки"}));
  s.UseLicense = true;
  EXPECT_EQ(BuildPageList(s), (Pages{L"Характеристика", L"Лицензия", L"Путь установки"}));
  s.UseReadMe = true;
  EXPECT_EQ(BuildPageList(s),
            (Pages{L"Характеристика", L"Лицензия", L"Информация", L"Путь установки"}));
  s.CountOfShortCuts = 1;
  EXPECT_EQ(BuildPageList(s),
            (Pages{L"Характеристика", L"Лицензия", L"Информация", L"Путь установки", L"Ярлыки"}));
  s.UseLicense = false;
  s.CountOfShortCuts = 0;
  EXPECT_EQ(BuildPageList(s), (Pages{L"Характеристика", L"Информация", L"Путь установки"}));
}

TEST(ExtractTexts, BothTextsSplitInOrder) {
  TempOverride temp;
  TestPackage package(
      L"[Main]\r\nProgramName=Демо\r\nUseReadMe=Yes\r\nUseLicense=Yes\r\n"
      L"[ReadMe]\r\nSize=4\r\n[License]\r\nSize=6\r\n",
      "READlicens");
  SetupState s = Loaded(package);
  ASSERT_EQ(ExtractError(s), L"");
  EXPECT_EQ(s.TempFolder, temp.Path() + L"\\Kovrin_Демо");
  EXPECT_EQ(ReadFileBytes(ReadMeTextPath(s)), "READ");
  EXPECT_EQ(ReadFileBytes(LicenseTextPath(s)), "licens");
}

TEST(ExtractTexts, LicenseOnlyStartsAtOffsetZeroBesideAnEmptyReadMe) {
  TempOverride temp;
  TestPackage package(
      L"[Main]\r\nUseLicense=Yes\r\n[License]\r\nSize=3\r\n"
      L"[ReadMe]\r\nSize=2\r\n",  // ignored: the information text is not used
      "abc");
  SetupState s = Loaded(package);
  ASSERT_EQ(ExtractError(s), L"");
  EXPECT_EQ(ReadFileBytes(ReadMeTextPath(s)), "");
  EXPECT_TRUE(FileExists(ReadMeTextPath(s)));
  EXPECT_EQ(ReadFileBytes(LicenseTextPath(s)), "abc");
}

TEST(ExtractTexts, NoTextMeansNoFolderAndNoSetupDat) {
  TempOverride temp;
  TestPackage package(L"[Main]\r\nProgramName=Демо\r\n");  // and no Setup.dat at all
  SetupState s = Loaded(package);
  EXPECT_EQ(ExtractError(s), L"");
  EXPECT_EQ(s.TempFolder, L"");
  EXPECT_FALSE(FolderExists(temp.Path() + L"\\Kovrin_Демо"));
}

TEST(ExtractTexts, ShortSetupDatStopsWithAMessageNamingIt) {
  TempOverride temp;
  TestPackage package(
      L"[Main]\r\nUseReadMe=Yes\r\nUseLicense=Yes\r\n"
      L"[ReadMe]\r\nSize=4\r\n[License]\r\nSize=600\r\n",
      "READlic");
  SetupState s = Loaded(package);
  const std::wstring error = ExtractError(s);
  EXPECT_NE(error.find(package / L"Setup.dat"), std::wstring::npos) << Narrow(error);
  EXPECT_FALSE(FileExists(ReadMeTextPath(s)));  // nothing half-written
  EXPECT_FALSE(FileExists(LicenseTextPath(s)));
}

TEST(ExtractTexts, TheTextsChecksumIsCheckedWhileSplitting) {
  TempOverride temp;
  const std::string texts = "READlicens";
  const std::wstring script =
      L"[Main]\r\nUseReadMe=Yes\r\nUseLicense=Yes\r\n[ReadMe]\r\nSize=4\r\n"
      L"[License]\r\nSize=6\r\n[One_Data]\r\nTextsCrc=" +
      CrcKeyText(texts) + L"\r\n";
  TestPackage good(script, texts);
  SetupState fine = Loaded(good);
  EXPECT_EQ(ExtractError(fine), L"");
  EXPECT_EQ(ReadFileBytes(LicenseTextPath(fine)), "licens");

  TestPackage damaged(script, "READlicenZ");
  SetupState s = Loaded(damaged);
  const std::wstring error = ExtractError(s);
  EXPECT_EQ(error, L"Файл «Setup.dat» в пакете повреждён (контрольная сумма не совпадает).")
      << Narrow(error);
  EXPECT_FALSE(FileExists(ReadMeTextPath(s))) << "no damaged text is shown";
  EXPECT_FALSE(FileExists(LicenseTextPath(s)));
}

TEST(ExtractTexts, MissingSetupDatIsTheFileError) {
  TempOverride temp;
  TestPackage package(L"[Main]\r\nUseReadMe=Yes\r\n[ReadMe]\r\nSize=4\r\n");
  SetupState s = Loaded(package);
  const std::wstring error = ExtractError(s);
  EXPECT_EQ(error.rfind(L"Cannot open file \"" + (package / L"Setup.dat") + L"\"", 0), 0u)
      << Narrow(error);
}

TEST(ExtractTexts, ProgramNamesCannotLeaveTheTemporaryFolder) {
  for (const wchar_t* name : {L"..\\..\\Windows", L"a/b", L"C:evil", L"..", L"x\\..", L"a?b|c"}) {
    TempOverride temp;
    // The script refuses some of these names; the folder rule holds for any.
    TestPackage package(L"[Main]\r\nUseLicense=Yes\r\n[License]\r\nSize=2\r\n", "ok");
    SetupState s = Loaded(package);
    s.ProgramName = name;
    ASSERT_EQ(ExtractError(s), L"");
    SCOPED_TRACE(Narrow(name));
    const std::wstring folder = s.TempFolder.substr(temp.Path().size() + 1);
    EXPECT_EQ(s.TempFolder.rfind(temp.Path() + L"\\Kovrin_", 0), 0u);
    EXPECT_EQ(folder.find_first_of(L"\\/:"), std::wstring::npos) << Narrow(folder);
    EXPECT_EQ(ReadFileBytes(LicenseTextPath(s)), "ok");
    // The text really is inside the test's temporary folder.
    EXPECT_TRUE(FileExists(temp.Path() + L"\\" + folder + L"\\license.dat"));
  }
  EXPECT_EQ(SafeFolderName(L"Редактор 2.0"), L"Редактор 2.0");
}

TEST(LoadPlainText, Cp1251WithEveryKindOfLineEnd) {
  TempDir dir;
  WriteTextFile(dir / L"t.txt", "\xcf\xf0\xe8\xe2\xe5\xf2\r\none\ntwo\rthree");
  EXPECT_EQ(*LoadPlainText(dir / L"t.txt"), L"Привет\r\none\r\ntwo\r\nthree");
  // A text that went missing is a failure the page shows, not an empty text.
  const Expected<std::wstring> gone = LoadPlainText(dir / L"gone.txt");
  ASSERT_FALSE(gone);
  EXPECT_EQ(gone.Error().Message().rfind(L"Cannot open file", 0), 0u);
}

namespace {
class FakeDrives final : public DriveProbe {
 public:
  std::wstring existing = L"C:\\";
  int64_t free = 0;
  std::wstring askedFree;
  bool RootExists(const std::wstring& root) override { return root == existing; }
  int64_t FreeBytes(const std::wstring& root) override {
    askedFree = root;
    return free;
  }
};
}  // namespace

// Drive, relative, empty and share paths go through DescribeFreeSpace below.
TEST(FreeSpaceLine, DrivePartsOfTheRarerPaths) {
  EXPECT_EQ(DrivePart(L"d:"), L"d:");
  EXPECT_EQ(DrivePart(L"\\\\server"), L"\\\\server");
  EXPECT_EQ(DrivePart(L"\\root"), L"");
}

TEST(FreeSpaceLine, MissingRelativeNetworkAndLargeDrives) {
  FakeDrives drives;
  FreeSpaceLine missing = DescribeFreeSpace(L"q:\\apps", drives);
  EXPECT_TRUE(missing.Visible);
  EXPECT_EQ(missing.Label, L"Диск q не существует");  // the letter as typed
  EXPECT_FALSE(missing.ValueVisible);

  EXPECT_FALSE(DescribeFreeSpace(L"apps\\x", drives).Visible);
  EXPECT_FALSE(DescribeFreeSpace(L"", drives).Visible);

  FreeSpaceLine network = DescribeFreeSpace(L"\\\\server\\share\\apps", drives);
  EXPECT_TRUE(network.Visible);
  EXPECT_EQ(network.Label, L"Диск \\ не существует");
  EXPECT_FALSE(network.ValueVisible);

  drives.existing = L"c:\\";  // the existence test takes the letter as typed
  drives.free = 5000000000LL;
  FreeSpaceLine large = DescribeFreeSpace(L"c:\\apps", drives);
  EXPECT_EQ(drives.askedFree, L"C:\\");
  EXPECT_EQ(large.Label, L"Свободно на диске C:");
  EXPECT_TRUE(large.ValueVisible);
  EXPECT_EQ(large.Value, L"5000000000 байт");
}

TEST(FreeSpaceLine, TheSystemDriveReportsItsFreeBytes) {
  SystemDriveProbe probe;
  FreeSpaceLine line = DescribeFreeSpace(L"C:\\Program Files\\Демо", probe);
  EXPECT_EQ(line.Label, L"Свободно на диске C:");
  EXPECT_TRUE(line.ValueVisible);
  EXPECT_GT(std::stoll(line.Value), 0);
  EXPECT_EQ(line.Value.substr(line.Value.size() - 5), L" байт");
}

TEST(ExtractTexts, WhatIsAlreadyInTheTextFolderIsNeverTrusted) {
  TempOverride temp;
  const std::wstring planted = temp.Path() + L"\\Kovrin_Демо";
  ForceFolder(planted + L"\\sub");
  WriteTextFile(planted + L"\\license.dat", "planted");
  SetFileAttributesW((planted + L"\\license.dat").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteTextFile(planted + L"\\sub\\other.txt", "someone else's");
  TestPackage package(L"[Main]\r\nProgramName=Демо\r\nUseLicense=Yes\r\n[License]\r\nSize=6\r\n",
                      "licens");
  SetupState s = Loaded(package);
  ASSERT_EQ(ExtractError(s), L"");
  EXPECT_EQ(s.TempFolder, planted);  // emptied and made anew
  EXPECT_EQ(ReadFileBytes(LicenseTextPath(s)), "licens");
  EXPECT_FALSE(FileExists(planted + L"\\sub\\other.txt"));
}

TEST(ReadSetupScript, RefusesANameThatWouldBreakTheUninstallEntry) {
  for (const wchar_t* name : {L"Программа \"Учёт\"", L"Фирма\\Учёт"}) {
    SCOPED_TRACE(Narrow(name));
    TestPackage package(std::wstring(L"[Main]\r\nProgramName=") + name + L"\r\n");
    SetupState s;
    s.PackageFolder = package.Folder();
    const Status read = ReadSetupScript(s);
    ASSERT_FALSE(read) << "the name was accepted";
    EXPECT_TRUE(read.Error().Is(FailureKind::Package));
    EXPECT_NE(read.Error().Message().find(L"Название программы"), std::wstring::npos);
  }
  TestPackage fine(L"[Main]\r\nProgramName=Программа «Учёт»\r\n");
  SetupState s;
  s.PackageFolder = fine.Folder();
  ASSERT_TRUE(ReadSetupScript(s));
  EXPECT_EQ(s.ProgramName, L"Программа «Учёт»");
}
