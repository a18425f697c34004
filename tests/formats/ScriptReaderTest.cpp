#include <gtest/gtest.h>

#include "ExampleProject.h"
#include "TestUtil.h"
#include "formats/SetupScriptReader.h"
#include "formats/SetupScriptWriter.h"

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
  ProfileFile p = LoadProfileText(
      L"[One_Files]\r\nFileName1=a.txt\r\nFileSize1=-5\r\n"
      L"[One_ShortCuts]\r\nShortCutParams1=\"/quiet mode\"\r\n");
  ScriptFileRow row = *ReadFileRow(p, 1);
  EXPECT_EQ(row.FileName, L"a.txt");
  EXPECT_EQ(row.FileSize, -5);
  ScriptFileRow missing = *ReadFileRow(p, 2);
  EXPECT_EQ(missing.FileName, L"");
  EXPECT_EQ(missing.FileSize, 0);
  EXPECT_EQ(ReadShortcutRow(p, 1).ShortCutParams, L"/quiet mode");
}

// The version goes into [Main] only when there is one: a project without it
// writes the script it always wrote, and an older script reads as no version.
TEST(ReadSetupScriptValues, ProductVersionAndCodeRoundTripAndAreAbsentWhenEmpty) {
  TempDir dir;
  NullProgress progress;
  SetupProject project = ExampleLikeProject();
  project.ProductVersion = L"";
  WriteSetupScript(project, dir / L"Setup.ini", progress);
  ProfileFile script = ProfileFile::Load(dir / L"Setup.ini");
  EXPECT_FALSE(script.HasKey(L"Main", L"ProductVersion"));
  EXPECT_FALSE(script.HasKey(L"Main", L"ProductCode"));
  EXPECT_EQ(ReadSetupScriptValues(script).ProductVersion, L"");
  EXPECT_EQ(ReadSetupScriptValues(script).ProductCode, L"");

  TempDir fresh;
  project.ProductVersion = L"2.0 бета";
  project.ProductCode = L"{0E5C6F0A-3B7D-4C1E-9A8B-5D2F4E6A7C90}";
  WriteSetupScript(project, fresh / L"Setup.ini", progress);
  script = ProfileFile::Load(fresh / L"Setup.ini");
  EXPECT_EQ(ReadSetupScriptValues(script).ProductVersion, L"2.0 бета");
  EXPECT_EQ(ReadSetupScriptValues(script).ProductCode, project.ProductCode);
  const std::wstring text = ProfileText(script);
  const size_t company = text.find(L"\r\nCompanyName=");
  ASSERT_NE(company, std::wstring::npos);
  EXPECT_EQ(text.find(L"\r\nProductVersion=2.0 бета\r\n"), text.find(L"\r\n", company + 2));
}
