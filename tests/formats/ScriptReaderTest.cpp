#include <gtest/gtest.h>

#include "ProjectFixtures.h"
#include "TestUtil.h"
#include "formats/SetupScriptReader.h"
#include "formats/SetupScriptWriter.h"

TEST(ReadSetupScriptValues, DefaultsForAnEmptyScript) {
  SetupScriptValues v = ReadSetupScriptValues(ProfileFile());
  EXPECT_EQ(v.ProgramName, L"!!!ProgramName!!!");
  EXPECT_EQ(v.CompanyName, L"!!!CompanyName!!!");
  EXPECT_EQ(v.InstallPath, L"");
  EXPECT_FALSE(v.UseReadMe);
  EXPECT_EQ(v.CountOfFiles, 0);
  EXPECT_EQ(v.ReadMe.FontName, L"Arial");
  EXPECT_EQ(v.ReadMe.FontSize, 12);
  EXPECT_TRUE(v.ReadMe.IsRtf);
}

TEST(ReadSetupScriptValues, FlagSpellingsOfBothSections) {
  ProfileFile p = ProfileFile::FromText(
      L"[Main]\r\nUseReadMe=yes\r\nUseLicense=Y\r\n[Extended]\r\nUseRun=Yes\r\nUseGoSite=1\r\n"
      L"UseReboot=7\r\nAskToReboot=0\r\nUseUninstall=x\r\n");
  SetupScriptValues v = ReadSetupScriptValues(p);
  EXPECT_TRUE(v.UseReadMe);
  EXPECT_FALSE(v.UseLicense);
  EXPECT_FALSE(v.UseRun);  // a word in [Extended] reads false
  EXPECT_TRUE(v.UseGoSite);
  EXPECT_TRUE(v.UseReboot);
  EXPECT_FALSE(v.AskToReboot);
  EXPECT_FALSE(v.UseUninstall);
  for (const wchar_t* yes : {L"YES", L"yEs"}) {
    ProfileFile q = ProfileFile::FromText(std::wstring(L"[Main]\r\nUseLicense=") + yes + L"\r\n");
    EXPECT_TRUE(ReadSetupScriptValues(q).UseLicense);
  }
  ProfileFile digit = ProfileFile::FromText(L"[Main]\r\nUseLicense=1\r\n");
  EXPECT_FALSE(ReadSetupScriptValues(digit).UseLicense);
}

TEST(ReadSetupScriptValues, WrittenScriptReadsBack) {
  TempDir dir;
  NullProgress progress;
  SetupProject project = ExampleLikeProject();
  project.ProgramName = L" Padded ";
  project.ReadMeType = TextType::Txt;
  project.ReadMeText = {L"a"};
  project.ReadMeFont.Color = 255;
  WriteSetupScript(project, dir / L"Setup.ini", progress);
  SetupScriptValues v = ReadSetupScriptValues(ProfileFile::Load(dir / L"Setup.ini"));
  EXPECT_EQ(v.ProgramName, L"Padded");
  EXPECT_TRUE(v.UseReadMe);
  EXPECT_FALSE(v.ReadMe.IsRtf);
  EXPECT_EQ(v.ReadMe.FontColor, 255);
  EXPECT_EQ(v.ReadMe.Size, 3);
  EXPECT_TRUE(v.License.IsRtf);
  EXPECT_EQ(v.CountOfFiles, 4);
  EXPECT_EQ(v.CountOfShortCuts, 1);
  EXPECT_TRUE(v.UseRun);
  EXPECT_EQ(v.SiteAddress, project.SiteAddress);
  ScriptShortcutRow s = ReadShortcutRow(ProfileFile::Load(dir / L"Setup.ini"), 1);
  EXPECT_EQ(s.ShortCutSavePath, L"%Desktop%");
  EXPECT_EQ(s.ShortCutFilePath, L"%InstallPath%");
}

TEST(ReadRows, QuotedParamsMissingRowsAndNegativeSizes) {
  ProfileFile p = ProfileFile::FromText(
      L"[One_Files]\r\nFileName1=a.txt\r\nFileSize1=-5\r\n"
      L"[One_ShortCuts]\r\nShortCutParams1=\"/quiet mode\"\r\n");
  ScriptFileRow row = ReadFileRow(p, 1);
  EXPECT_EQ(row.FileName, L"a.txt");
  EXPECT_EQ(row.FileSize, -5);
  ScriptFileRow missing = ReadFileRow(p, 2);
  EXPECT_EQ(missing.FileName, L"");
  EXPECT_EQ(missing.FileSize, 0);
  EXPECT_EQ(ReadShortcutRow(p, 1).ShortCutParams, L"/quiet mode");
}
