#include <gtest/gtest.h>

#include "BuildFixture.h"
#include "FakeArchive.h"
#include "designer/SfxArchive.h"
#include "formats/SetupScriptWriter.h"
#include "support/CodePage.h"
#include "support/Handle.h"
#include "support/QRegistry.h"

namespace {
using Names = std::vector<std::wstring>;

// Registers the stand-in beside this test program as the shell's WinRAR.exe.
// Every test writes the same value, so parallel runs never disagree.
void RegisterStandInArchiver() {
  const std::wstring program = ProgramFolder() + L"WinRAR.exe";
  ASSERT_TRUE(FileExists(program));
  RegistryKey::Create(HKEY_LOCAL_MACHINE,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WinRAR.exe")
      .WriteText(L"", program);
}

SetupProject FullProject(const std::wstring& output) {
  SetupProject p;
  p.ProgramName = L"Ковёр";
  p.CompanyName = L"Morvel Labs";
  p.SetupFileName = L"Setup.exe";
  p.OutputFolder = output;
  p.UseReadMe = true;
  p.UseLicense = true;
  p.UseUninstall = true;
  return p;
}

class SfxArchiveRun : public BuildRunFixture {};
}  // namespace

TEST(SfxArchive, ListHasThreeLinesAloneAndFiveWithEverything) {
  SetupProject plain;
  EXPECT_EQ(SfxListLines(plain, L"C:\\T\\Kovrin"),
            (Names{L"C:\\T\\Kovrin\\Setup.exe", L"C:\\T\\Kovrin\\setup.ini",
                   L"C:\\T\\Kovrin\\data.dat"}));
  const SetupProject full = FullProject(L"C:\\out");
  const Names lines = SfxListLines(full, L"C:\\T\\Kovrin");
  EXPECT_EQ(lines, (Names{L"C:\\T\\Kovrin\\Setup.exe", L"C:\\T\\Kovrin\\setup.ini",
                          L"C:\\T\\Kovrin\\data.dat", L"C:\\T\\Kovrin\\setup.dat",
                          L"C:\\T\\Kovrin\\uninst.dat"}));
}

TEST(SfxArchive, CommentBytesAreWindows1251WithCrLf) {
  SetupProject project = FullProject(L"C:\\out");
  EXPECT_EQ(PlainTextBytes(SfxCommentLines(project)),
            ";Morvel Kovrin comments file for WinRAR\r\n\r\nSilent=3\r\nSetup=Setup.exe\r\n"
            "TempMode=\"\xd5\xee\xf2\xe8\xf2\xe5 \xf3\xf1\xf2\xe0\xed\xee\xe2\xe8\xf2\xfc "
            "\xca\xee\xe2\xb8\xf0 ?\","
            "\"Morvel Labs \xca\xee\xe2\xb8\xf0\"\r\n");
  project.CompanyName.clear();  // the title then begins with a blank
  EXPECT_EQ(SfxCommentLines(project)[4], L"TempMode=\"Хотите установить Ковёр ?\",\" Ковёр\"");
}

TEST(SfxArchive, CommandLineCarriesTheMethodAndQuotesTheArchive) {
  SetupProject project;
  project.OutputFolder = L"C:\\MySetup\\";
  const BuildFolders folders{L"C:\\Kovrin\\", L"C:\\Temp\\Kovrin"};
  const std::wstring tail =
      L" -z\"C:\\Temp\\Kovrin\\setup.cmt\" \"C:\\MySetup\\\\Setup.exe\" "
      L"@\"C:\\Temp\\Kovrin\\setup.lst\"";
  const std::wstring head = L"a -df -sfx -ep1 -iicon\"C:\\Kovrin\\\\setup.ico\" -m";
  for (int method : {0, 3, 5}) {
    project.CompressionLevel = method;
    EXPECT_EQ(SfxCommandLine(project, folders), head + std::to_wstring(method) + tail);
  }
}

TEST(SfxArchive, StartsThePagesProgramWhenItExists) {
  TempDir dir;
  SetupProject project;
  project.WinRarPath = dir / L"Rar\\WinRAR.exe";
  EXPECT_EQ(ArchiverProgram(project), L"WinRAR.exe");
  CreateDirectoryW((dir / L"Rar").c_str(), nullptr);
  WriteTextFile(project.WinRarPath, "MZ");
  EXPECT_EQ(ArchiverProgram(project), project.WinRarPath);
}

TEST_F(SfxArchiveRun, StandInArchiverBuildsTheArchiveThroughTheShell) {
  RegisterStandInArchiver();
  project = FullProject(fx.output + L"\\with blank\\");
  project.SetupFileName = L"My Setup.exe";
  project.UseWinRar = true;
  project.CompressionLevel = 5;
  project.ReadMeRtf = "{\\rtf1 read}";
  project.LicenseRtf = "{\\rtf1 license}";
  project.Files = {fx.AddSource(L"prog.exe", 1500, 1)};

  const BuildResult result = Run();

  ASSERT_EQ(result.Outcome, BuildOutcome::Done) << Narrow(result.Message);
  EXPECT_TRUE(FilesIn(fx.build).empty());
  const std::wstring out = fx.output + L"\\with blank";
  ASSERT_EQ(FilesIn(out), Names{L"My Setup.exe"});
  const auto records = fake_archive::Parse(ReadFileBytes(out + L"\\My Setup.exe"));
  ASSERT_EQ(records.size(), 8u);
  EXPECT_EQ(records[0].Tag, "args");
  EXPECT_EQ(records[0].Bytes, Narrow(SfxCommandLine(project, fx.Folders())));
  EXPECT_EQ(records[1].Bytes, ReadFileBytes(fx.designer + L"setup.ico"));
  EXPECT_EQ(records[2].Bytes, PlainTextBytes(SfxCommentLines(project)));
  const char* names[] = {"My Setup.exe", "setup.ini", "data.dat", "setup.dat", "uninst.dat"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(records[3 + i].Tag, "file");
    EXPECT_EQ(records[3 + i].Name, names[i]);
  }
  EXPECT_EQ(records[3].Bytes, ReadFileBytes(fx.designer + L"Kovrin.dat"));
  EXPECT_EQ(records[5].Bytes, ReadFileBytes(fx.sources + L"\\prog.exe"));
  EXPECT_EQ(records[6].Bytes, "{\\rtf1 read}{\\rtf1 license}");
  EXPECT_EQ(records[7].Bytes, ReadFileBytes(fx.designer + L"uninst.dat"));
  EXPECT_NE(records[4].Bytes.find("FileSize1=1500"), std::string::npos);
  EXPECT_EQ(observer.Statuses()[observer.Statuses().size() - 2], L"Запускается WinRAR...");
  // The start is told once, together with its status line, inside the last stage.
  const std::vector<size_t> started = observer.PositionsOf(BuildEvent::ArchiverStart);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(observer.events[started[0] - 1].text, L"Запускается WinRAR...");
  EXPECT_GT(started[0], observer.PositionsOf(BuildEvent::Begin).back());
}

TEST_F(SfxArchiveRun, WaitEndsWhenTheArchiverFails) {
  RegisterStandInArchiver();
  DeleteFileW((fx.designer + L"setup.ico").c_str());  // the archiver cannot read its icon
  project.UseWinRar = true;

  const BuildResult result = Run();

  ASSERT_EQ(result.Outcome, BuildOutcome::Failed);
  EXPECT_NE(result.Message.find(L"WinRAR"), std::wstring::npos) << Narrow(result.Message);
  EXPECT_NE(result.Message.find(L"3"), std::wstring::npos) << Narrow(result.Message);
  EXPECT_TRUE(FileExists(fx.build + L"\\Setup.exe"));  // nothing archived, nothing removed
  EXPECT_TRUE(FilesIn(fx.output).empty());
  EXPECT_EQ(observer.StageTrace(), "B1 E1 B2 E2 B3 E3 B4");
}

TEST_F(SfxArchiveRun, CancelStopsAnArchiverThatWouldNeverEnd) {
  project.UseWinRar = true;
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  project.WinRarPath = std::wstring(system) + L"\\notepad.exe";  // waits for a human, forever
  ASSERT_TRUE(FileExists(project.WinRarPath));
  observer.cancelOnStatus = L"Запускается WinRAR...";

  const BuildResult result = Run();

  ASSERT_EQ(result.Outcome, BuildOutcome::Cancelled) << Narrow(result.Message);
  EXPECT_TRUE(FilesIn(fx.build).empty());
  EXPECT_TRUE(FilesIn(fx.output).empty());
}

TEST(SfxArchive, StandInRefusesAnyOtherCommandLineAndDeletesNothing) {
  BuildFixture fx;
  const std::wstring stand = L"\"" + ProgramFolder() + L"WinRAR.exe\" ";
  WriteTextFile(fx.root / L"list.lst", Narrow(fx.designer + L"uninst.dat") + "\r\n");
  WriteTextFile(fx.root / L"c.cmt", ";comment\r\n");
  const std::wstring icon = L"-iicon\"" + fx.designer + L"setup.ico\"";
  const std::wstring z = L" -z\"" + fx.root / L"c.cmt" + L"\"";
  const std::wstring archive = L" \"" + fx.root / L"out.exe" + L"\"";
  const std::wstring list = L" @\"" + fx.root / L"list.lst" + L"\"";
  const std::wstring wrong[] = {
      L"a -sfx -ep1 " + icon + L" -m3" + z + archive + list,                     // no -df
      L"a -df -sfx -ep1 " + icon + L" -m6" + z + archive + list,                 // no such method
      L"x -df -sfx -ep1 " + icon + L" -m3" + z + archive + list,                 // not "add"
      L"a -df -sfx -ep1 " + icon + L" -m3" + z + L" C:\\out dir\\x.exe" + list,  // unquoted blank
  };
  for (const std::wstring& args : wrong) {
    EXPECT_EQ(RunAndWait(stand + args), 2u) << Narrow(args);
    EXPECT_TRUE(FileExists(fx.designer + L"uninst.dat"));
    EXPECT_FALSE(FileExists(fx.root / L"out.exe"));
  }
  EXPECT_EQ(RunAndWait(stand + L"a -df -sfx -ep1 " + icon + L" -m3" + z + archive + list), 0u);
  EXPECT_FALSE(FileExists(fx.designer + L"uninst.dat"));
  EXPECT_TRUE(FileExists(fx.root / L"out.exe"));
}
