#include <gtest/gtest.h>

#include "ExampleProject.h"
#include "TestUtil.h"
#include "formats/SetupScriptWriter.h"
#include "support/CodePage.h"
#include "support/ProfileFile.h"

namespace {
struct RecordingProgress : ProgressSink {
  std::vector<int> positions;
  int pumps = 0;
  void SetPosition(int p) override { positions.push_back(p); }
  void Pump() override { ++pumps; }
};

std::wstring Write(const SetupProject& project, const TempDir& dir, ProgressSink& progress) {
  std::wstring path = dir / L"Setup.ini";
  WriteSetupScript(project, path, progress);
  return FromCp1251(ReadFileBytes(path));
}

// Whether the script's text holds a "[name]" line.
bool HasSectionLine(const std::wstring& text, const std::wstring& name) {
  return (L"\r\n" + text).find(L"\r\n[" + name + L"]\r\n") != std::wstring::npos;
}
}  // namespace

TEST(WriteSetupScript, ExampleProjectKeyForKeyInOrder) {
  TempDir dir;
  RecordingProgress progress;
  SetupProject project = ExampleLikeProject();
  std::wstring text = Write(project, dir, progress);
  const std::wstring readMeSize = std::to_wstring(project.ReadMeRtf.size());
  const std::wstring licenseSize = std::to_wstring(project.LicenseRtf.size());
  EXPECT_EQ(text,
            L"[Main]\r\nInstallPath=%ProgramFiles%\\%CompanyName%\r\nProgramName=Kovrin\r\n"
            L"CompanyName=Morvel "
            L"Labs\r\nSetupLanguage=ru\r\nExpended=0\r\nUseReadMe=Yes\r\nUseLicense=Yes\r\n\r\n"
            L"[One_Data]\r\nSummarySize=0\r\nCountOfFiles=4\r\n\r\n"
            L"[One_Files]\r\nFileName1=Kovrin.exe\r\nFileSize1=0\r\nFileName2=Kovrin."
            L"dat\r\nFileSize2=0\r\n"
            L"FileName3=Setup.ico\r\nFileSize3=0\r\nFileName4=help.html\r\nFileSize4=0\r\n\r\n"
            L"[ReadMe]\r\nType=rtf\r\nSize=" +
                readMeSize +
                L"\r\n\r\n"
                L"[License]\r\nType=rtf\r\nSize=" +
                licenseSize +
                L"\r\n\r\n"
                L"[One_ShortCuts]\r\nCountOfShortCuts=1\r\nShortCutName1="
                L"Kovrin\r\nShortCutSavePath1=%Desktop%\r\n"
                L"ShortCutFileName1=%InstallPath%\\Kovrin.exe\r\nShortCutParams1="
                L"\r\nShortCutFilePath1=%InstallPath%\r\n\r\n"
                L"[Extended]\r\nUseReboot=0\r\nAskToReboot=0\r\nUseRun=1\r\nUseGoSite="
                L"1\r\nUseUninstall=0\r\n"
                L"RunFileName=%InstallPath%\\Kovrin.exe\r\nSiteAddress=https://morvel-labs.example/"
                L"kovrin\r\n");
  EXPECT_EQ(ReadFileBytes(dir / L"_zreadme.dat"), project.ReadMeRtf);
  EXPECT_EQ(ReadFileBytes(dir / L"_zlicense.dat"), project.LicenseRtf);
  EXPECT_EQ(progress.positions, (std::vector<int>{25, 50, 75, 100, 0}));
  EXPECT_EQ(progress.pumps, 4);
}

TEST(WriteSetupScript, EmptyProject) {
  TempDir dir;
  NullProgress progress;
  std::wstring text = Write(SetupProject{}, dir, progress);
  ProfileFile script = LoadProfileText(text);
  EXPECT_EQ(script.ReadString(L"One_Data", L"SummarySize", L"?"), L"0");
  EXPECT_EQ(script.ReadString(L"One_Data", L"CountOfFiles", L"?"), L"0");
  EXPECT_TRUE(HasSectionLine(text, L"One_Data"));
  EXPECT_FALSE(HasSectionLine(text, L"One_Files"));
  EXPECT_FALSE(HasSectionLine(text, L"ReadMe"));
  EXPECT_FALSE(HasSectionLine(text, L"License"));
  EXPECT_EQ(script.ReadString(L"Main", L"UseReadMe", L"?"), L"No");
  EXPECT_EQ(script.ReadString(L"Main", L"UseLicense", L"?"), L"No");
  EXPECT_EQ(script.ReadString(L"One_ShortCuts", L"CountOfShortCuts", L"?"), L"0");
  for (const wchar_t* flag :
       {L"UseReboot", L"AskToReboot", L"UseRun", L"UseGoSite", L"UseUninstall"})
    EXPECT_EQ(script.ReadString(L"Extended", flag, L"?"), L"0");
  EXPECT_NE(text.find(L"\r\nRunFileName=\r\nSiteAddress=\r\n"), std::wstring::npos);
  EXPECT_FALSE(FileExists(dir / L"_zreadme.dat"));
}

TEST(WriteSetupScript, TenFilesUnpaddedAndWrappedTotal) {
  TempDir dir;
  NullProgress progress;
  SetupProject project;
  for (int i = 1; i <= 10; ++i)
    project.Files.push_back(FileEntry{L"f" + std::to_wstring(i), L"C:\\src", 0});
  project.Files[0].Size = int64_t(1) << 30;
  project.Files[1].Size = int64_t(1) << 30;  // total exactly 2^31
  ProfileFile script = LoadProfileText(Write(project, dir, progress));
  EXPECT_EQ(script.ReadString(L"One_Files", L"FileName10", L""), L"f10");
  EXPECT_FALSE(script.HasKey(L"One_Files", L"FileName01"));
  EXPECT_EQ(script.ReadString(L"One_Data", L"SummarySize", L""), L"-2147483648");
}

TEST(WriteSetupScript, PlainTextsCarryFontAndCp1251Lines) {
  TempDir dir;
  NullProgress progress;
  SetupProject project;
  project.UseLicense = true;
  project.LicenseType = TextType::Txt;
  project.LicenseText = {L"Лицензия", L"", L"line 3"};
  const std::wstring text = Write(project, dir, progress);
  ProfileFile script = LoadProfileText(text);
  std::string expected = ToCp1251(L"Лицензия\r\n\r\nline 3\r\n");
  EXPECT_EQ(ReadFileBytes(dir / L"_zlicense.dat"), expected);
  EXPECT_EQ(script.ReadString(L"License", L"Type", L""), L"txt");
  EXPECT_EQ(script.ReadString(L"License", L"FontName", L""), L"MS Sans Serif");
  EXPECT_EQ(script.ReadString(L"License", L"FontSize", L""), L"8");
  EXPECT_EQ(script.ReadString(L"License", L"FontColor", L""), L"-16777208");
  EXPECT_EQ(script.ReadString(L"License", L"Size", L""), std::to_wstring(expected.size()));
  EXPECT_FALSE(HasSectionLine(text, L"ReadMe"));
}

TEST(WriteSetupScript, ExistingScriptIsRewrittenInPlace) {
  TempDir dir;
  NullProgress progress;
  WriteTextFile(dir / L"Setup.ini",
                "[Extended]\r\nUseRun=1\r\nCustom=keep\r\n[Main]\r\nProgramName=Old\r\n");
  SetupProject project;
  project.ProgramName = L"New";
  ProfileFile script = LoadProfileText(Write(project, dir, progress));
  EXPECT_EQ(script.ReadString(L"Extended", L"Custom", L""), L"keep");
  EXPECT_EQ(script.ReadString(L"Extended", L"UseRun", L""), L"0");
  EXPECT_EQ(script.ReadString(L"Main", L"ProgramName", L""), L"New");
  std::wstring text = ProfileText(script);
  EXPECT_LT(text.find(L"[Extended]"), text.find(L"[Main]"));  // sections keep their places
}

TEST(WriteSetupScript, CyrillicSurvivesTheRoundTrip) {
  TempDir dir;
  NullProgress progress;
  SetupProject project;
  project.ProgramName = L"Бухгалтерия 2.0";
  project.CompanyName = L"ООО «Ромашка»";
  project.Files.push_back(FileEntry{L"Документы\\Отчёт.txt", L"C:\\Исходники", 5});
  Write(project, dir, progress);
  std::string bytes = ReadFileBytes(dir / L"Setup.ini");
  EXPECT_NE(bytes.find(ToCp1251(L"ProgramName=Бухгалтерия 2.0")), std::string::npos);
  ProfileFile back = ProfileFile::Load(dir / L"Setup.ini");
  EXPECT_EQ(back.ReadString(L"Main", L"CompanyName", L""), L"ООО «Ромашка»");
  EXPECT_EQ(back.ReadString(L"One_Files", L"FileName1", L""), L"Документы\\Отчёт.txt");
}
