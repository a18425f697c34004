// The setup window in-process under Wine's null display driver, opened on
// packages written by the tests.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TestPackage.h"
#include "formats/UninstallRecord.h"
#include "setup/ExitCodes.h"
#include "setup/InstallLog.h"
#include "setup/ui/setup01.h"
#include "support/Environment.h"
#include "support/ProfileFile.h"
#include "support/QRegistry.h"
#include "win/Layout.h"

namespace {
class FixedDrives final : public DriveProbe {
 public:
  bool RootExists(const std::wstring& root) override { return root == L"C:\\" || root == L"c:\\"; }
  int64_t FreeBytes(const std::wstring&) override { return 6000000000LL; }
};

std::vector<std::wstring> ListEntries(HWND list) {
  std::vector<std::wstring> entries;
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    entries.push_back(text);
  }
  return entries;
}

bool Shown(const Panel& page) {
  return page.Visible();
}

class SetupWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static RegistryScope registry;
    InitPathVariables();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                       ICC_PROGRESS_CLASS | ICC_ANIMATE_CLASS};
    InitCommonControlsEx(&controls);
  }

  TForm1& Open(const TestPackage& package, InstallEvents* log = nullptr,
               bool allowDowngrade = false) {
    form = std::make_unique<TForm1>(
        package.Folder(),
        SetupServices{dialogs, shell, drives, SW_SHOWNORMAL, false, log, allowDowngrade});
    form->Create();
    ShowWindow(form->Handle(), SW_SHOWNA);
    return *form;
  }
  void Select(int position) {
    SendMessageW(form->ListBox1, LB_SETCURSEL, position, 0);
    form->ListBox1Click();
  }
  void Tick(HWND box) { SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0); }
  // Types `folder` into the path box and presses "Установить".
  void InstallTo(const std::wstring& folder) {
    SetText(form->Frame41.Edit1, folder);
    form->Button2Click();
  }

  TempOverride temp;  // extracted texts go to a folder of the test
  ScriptedDialogs dialogs;
  ScopedErrorPrompter errors{dialogs};
  RecordingShell shell;
  FixedDrives drives;
  std::unique_ptr<TForm1> form;
};

const char kRtf[] =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fcharset204 Arial;}}\\pard\\plain\\f0 "
    "\\'cb\\'e8\\'f6\\'e5\\'ed\\'e7\\'e8\\'ff \\b MIT\\b0\\par}";
const char kPlain[] = "\xcf\xf0\xe8\xe2\xe5\xf2\r\nline two\r\n";  // "Привет", line two
}  // namespace

TEST_F(SetupWindowTest, WithoutAScriptAFixedCentredWindowWithTheDefaults) {
  TestPackage package(L"");
  TForm1& f = Open(package);
  RECT client, window;
  GetClientRect(f.Handle(), &client);
  GetWindowRect(f.Handle(), &window);
  EXPECT_EQ(client.right, Scale(536));
  EXPECT_EQ(client.bottom, Scale(341));
  EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2);
  EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2);
  const LONG style = GetWindowLongW(f.Handle(), GWL_STYLE);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX));
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_EQ(GetText(f.Handle()), L"Установка программы");
  EXPECT_EQ(GetText(f.Button2), L"Установить");
  // The values themselves are ReadSetupScript's defaults (ScriptLoadingTest).
  EXPECT_EQ(GetText(f.Label1), L"Установка программы: !!!ProgramName!!!");
  EXPECT_EQ(ListEntries(f.ListBox1),
            (std::vector<std::wstring>{L"Характеристика", L"Путь установки"}));
  EXPECT_FALSE(HasVisibleStyle(f.Frame41.FreeSpaceLabel));  // an empty box has no drive

  // "Отмена" before the install closes at once, asking nothing.
  EXPECT_EQ(GetText(f.Button1), L"Отмена");
  SendMessageW(f.Button1, BM_CLICK, 0, 0);
  EXPECT_EQ(f.Handle(), nullptr);
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_TRUE(shell.opened.empty());
}

TEST_F(SetupWindowTest, APackageOpensWithItsPagesAndTexts) {
  std::string texts = std::string(kPlain) + kRtf;
  TestPackage package(
      L"[Main]\r\nInstallPath=C:\\Apps\\%CompanyName%\r\nProgramName=Редактор\r\nCompanyName="
      L"Фирма\r\n"
      L"UseReadMe=Yes\r\nUseLicense=Yes\r\n[One_Data]\r\nSummarySize=123456\r\nCountOfFiles="
      L"2000000000\r\n"
      L"[ReadMe]\r\nType=txt\r\nFontName=Courier "
      L"New\r\nFontSize=10\r\nFontColor=-16777208\r\nSize=" +
          std::to_wstring(sizeof kPlain - 1) + L"\r\n[License]\r\nType=rtf\r\nSize=" +
          std::to_wstring(sizeof kRtf - 1) + L"\r\n[One_ShortCuts]\r\nCountOfShortCuts=1\r\n",
      texts);
  TForm1& f = Open(package);
  ASSERT_TRUE(dialogs.asked.empty()) << Narrow(dialogs.asked[0].text);
  EXPECT_EQ(GetText(f.Label1), L"Установка программы: Редактор");
  EXPECT_EQ(ListEntries(f.ListBox1),
            (std::vector<std::wstring>{L"Характеристика", L"Лицензия", L"Информация",
                                       L"Путь установки", L"Ярлыки"}));
  EXPECT_EQ(f.Frame11.Value(TFrame1::kProductName), L"Редактор");
  EXPECT_EQ(f.Frame11.Value(TFrame1::kCompanyName), L"Фирма");
  EXPECT_EQ(f.Frame11.Value(TFrame1::kFileCount), L"2000000000");
  EXPECT_EQ(f.Frame11.Value(TFrame1::kTotalSize), L"123456 байт");

  // The license is rich text: its viewer shows the RTF's text, the plain one is hidden.
  EXPECT_TRUE(HasVisibleStyle(f.Frame21.RichEdit1));
  EXPECT_FALSE(HasVisibleStyle(f.Frame21.Memo1));
  EXPECT_EQ(GetText(f.Frame21.RichEdit1), L"Лицензия MIT");
  // The information is plain text in the script's font and the system's window-text colour.
  EXPECT_FALSE(HasVisibleStyle(f.Frame31.RichEdit1));
  EXPECT_TRUE(HasVisibleStyle(f.Frame31.Memo1));
  EXPECT_EQ(GetText(f.Frame31.Memo1), L"Привет\r\nline two\r\n");
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.Frame31.Memo1, WM_GETFONT, 0, 0)), sizeof font,
             &font);
  EXPECT_STREQ(font.lfFaceName, L"Courier New");
  EXPECT_EQ(font.lfHeight, -MulDiv(10, SystemDpi(), 72));
  EXPECT_EQ(f.Frame31.PlainTextColor(), GetSysColor(COLOR_WINDOWTEXT));

  EXPECT_EQ(GetText(f.Frame41.Edit1), L"C:\\Apps\\Фирма");
  EXPECT_EQ(GetText(f.Frame41.ProgramSizeValue), L"123456 байт");
  EXPECT_EQ(GetText(f.Frame41.FreeSpaceLabel), L"Свободно на диске C:");
  EXPECT_EQ(GetText(f.Frame41.FreeSpaceValue), L"6000000000 байт");
}

TEST_F(SetupWindowTest, ThePageListChoosesThePageShown) {
  TestPackage package(
      L"[Main]\r\nUseLicense=Yes\r\n[License]\r\nSize=0\r\n[One_ShortCuts]\r\nCountOfShortCuts="
      L"2\r\n",
      "x");
  TForm1& f = Open(package);
  EXPECT_TRUE(Shown(f.Frame11));
  EXPECT_FALSE(Shown(f.Frame21) || Shown(f.Frame41) || Shown(f.Frame51) || Shown(f.Frame61) ||
               Shown(f.Frame71));
  Select(2);  // "Путь установки"
  EXPECT_EQ(f.State().CurrentPage, 2);
  EXPECT_TRUE(Shown(f.Frame41));
  EXPECT_FALSE(Shown(f.Frame11));
  Select(2);  // the page already shown: nothing changes
  EXPECT_TRUE(Shown(f.Frame41));
  Select(3);
  EXPECT_TRUE(Shown(f.Frame51));
  EXPECT_FALSE(Shown(f.Frame41));
  EXPECT_FALSE(IsChecked(f.Frame51.CheckBox1) || IsChecked(f.Frame51.CheckBox2) ||
               IsChecked(f.Frame51.CheckBox3));
  EXPECT_EQ(GetText(f.Frame51.CheckBox2), L"Создать ярлыки в меню \"Пуск\"");
  Select(1);
  EXPECT_TRUE(Shown(f.Frame21));
  EXPECT_EQ(f.State().CurrentPage, 1);
}

// The line's wording is DescribeFreeSpace's (engine tests); here: typing reaches it.
TEST_F(SetupWindowTest, TheFreeSpaceLineFollowsTheBox) {
  TestPackage package(L"");
  TForm1& f = Open(package);
  SetText(f.Frame41.Edit1, L"q:\\apps");
  EXPECT_EQ(GetText(f.Frame41.FreeSpaceLabel), L"Диск q не существует");
  EXPECT_TRUE(HasVisibleStyle(f.Frame41.FreeSpaceLabel));
  EXPECT_FALSE(HasVisibleStyle(f.Frame41.FreeSpaceValue));
  SetText(f.Frame41.Edit1, L"apps");
  EXPECT_FALSE(HasVisibleStyle(f.Frame41.FreeSpaceLabel));
}

TEST_F(SetupWindowTest, TheBrowserStartsAtTheDesktopAndReplacesTheBox) {
  TestPackage package(L"[Main]\r\nInstallPath=q:\\typed\r\n");
  TForm1& f = Open(package);
  f.Frame41Button1Click();  // cancelled: nothing changes
  EXPECT_EQ(GetText(f.Frame41.Edit1), L"q:\\typed");
  dialogs.folderAnswers.push_back(L"C:\\Chosen");
  f.Frame41Button1Click();
  EXPECT_EQ(GetText(f.Frame41.Edit1), L"C:\\Chosen");
  EXPECT_EQ(GetText(f.Frame41.FreeSpaceLabel), L"Свободно на диске C:");
  ASSERT_EQ(dialogs.browseRoots.size(), 2u);
  EXPECT_EQ(dialogs.browseRoots[0], PathVariables().Desktop);
}

TEST_F(SetupWindowTest, AShortSetupDatIsReportedAndTheWindowStillOpens) {
  TestPackage package(L"[Main]\r\nProgramName=Демо\r\nUseLicense=Yes\r\n[License]\r\nSize=50\r\n",
                      "short");
  TForm1& f = Open(package);
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_NE(dialogs.asked[0].text.find(package / L"Setup.dat"), std::wstring::npos);
  EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
  EXPECT_TRUE(IsWindow(f.Handle()));
  EXPECT_TRUE(Shown(f.Frame11));
  EXPECT_EQ(ListEntries(f.ListBox1).size(), 3u);
}

// What is copied and linked is the engine's (InstallEngineTest, ShortCutsTest);
// here the button starts it and the finish page's boxes reach the actions.
TEST_F(SetupWindowTest, InstallFromThePagesThenFinish) {
  TempDir target;
  const std::wstring installTo = target / L"Программа";
  TestPackage package(
      L"[Main]\r\nProgramName=Демо\r\n[One_Data]\r\nSummarySize=2\r\nCountOfFiles=1\r\n"
      L"[One_Files]\r\nFileName1=a.txt\r\nFileSize1=2\r\n"
      L"[Extended]\r\nUseRun=1\r\nUseGoSite=1\r\nUseReboot=1\r\nRunFileName=%InstallPath%\\a."
      L"txt\r\n"
      L"SiteAddress=http://example.org/\r\n");
  package.WritePayload("AB");
  TForm1& f = Open(package);
  InstallTo(installTo);
  ASSERT_TRUE(dialogs.asked.empty()) << Narrow(dialogs.asked[0].text);
  EXPECT_EQ(ReadFileBytes(installTo + L"\\a.txt"), "AB");
  EXPECT_TRUE(f.State().Installed);

  // The finished state: "Готово", no install button, the finish page over the list.
  EXPECT_EQ(GetText(f.Button1), L"Готово");
  EXPECT_TRUE(IsWindowEnabled(f.Button1));
  EXPECT_FALSE(HasVisibleStyle(f.Button2));
  EXPECT_FALSE(HasVisibleStyle(f.Label2));
  EXPECT_FALSE(Shown(f.Frame61));
  EXPECT_TRUE(Shown(f.Frame71));
  EXPECT_TRUE(HasVisibleStyle(f.Frame71.CheckBox1));
  EXPECT_TRUE(HasVisibleStyle(f.Frame71.CheckBox2));
  EXPECT_TRUE(HasVisibleStyle(f.Frame71.CheckBox3));  // the restart is offered, not asked
  EXPECT_FALSE(IsChecked(f.Frame71.CheckBox3));

  Tick(f.Frame71.CheckBox2);
  Tick(f.Frame71.CheckBox3);
  SendMessageW(f.Button1, BM_CLICK, 0, 0);
  EXPECT_EQ(f.Handle(), nullptr);
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].file, installTo + L"\\a.txt");
  EXPECT_EQ(shell.restarts, 1);
}

TEST_F(SetupWindowTest, TheAskedRestartComesWhenFinishing) {
  TestPackage package(L"[Extended]\r\nUseReboot=1\r\nAskToReboot=1\r\n");
  package.WritePayload("");
  TForm1& f = Open(package);
  InstallTo(package / L"x");
  EXPECT_FALSE(HasVisibleStyle(f.Frame71.CheckBox3));
  dialogs.answers.push_back(IDYES);
  f.Button1Click();
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].caption, L"Внимание");
  EXPECT_EQ(shell.restarts, 1);
}

// The error wording is the engine's (InstallEngineTest); the window then shows the
// stop on its copy page and "Отмена" closes it; the hidden install button does not
// start a second run.
TEST_F(SetupWindowTest, AFailedInstallShowsTheStopAndCanBeClosed) {
  TestPackage package(L"[One_Data]\r\nCountOfFiles=0\r\n");  // and no data.dat
  TForm1& f = Open(package);
  InstallTo(package / L"x");
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].text.rfind(L"Cannot open file", 0), 0u);
  EXPECT_FALSE(f.State().Installed);
  EXPECT_TRUE(IsWindowEnabled(f.Button1));
  EXPECT_FALSE(HasVisibleStyle(f.Button2));
  EXPECT_EQ(GetText(f.Button1), L"Отмена");
  EXPECT_EQ(GetText(f.Frame61.StageLabel), L"Установка прервана.");
  package.WritePayload("");
  f.Button2Click();
  EXPECT_EQ(dialogs.asked.size(), 1u);
  EXPECT_FALSE(f.State().Installed);
  SendMessageW(f.Button1, BM_CLICK, 0, 0);
  EXPECT_EQ(f.Handle(), nullptr);
}

TEST_F(SetupWindowTest, TheCopyPageHasTwoSmoothBarsAndItsClipsOrNone) {
  TestPackage package(L"");
  TForm1& f = Open(package);
  for (HWND bar : {f.Frame61.ProgressBar1, f.Frame61.ProgressBar2}) {
    PBRANGE range{};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 1000);
    EXPECT_TRUE(GetWindowLongW(bar, GWL_STYLE) & PBS_SMOOTH);
  }
  f.StageChanged(InstallStage::ReadingPackage);
  EXPECT_TRUE(Shown(f.Frame61));
  EXPECT_FALSE(Shown(f.Frame11));
  f.ProgressChanged(250, 1000);
  EXPECT_EQ(SendMessageW(f.Frame61.ProgressBar1, PBM_GETPOS, 0, 0), 250);
  EXPECT_EQ(SendMessageW(f.Frame61.ProgressBar2, PBM_GETPOS, 0, 0), 1000);
  // Shares coming faster than the eye follows wait for the next pump, which
  // shows the latest; a file of no bytes leaves its bar where it was.
  f.ProgressChanged(100, 300);
  f.ProgressChanged(kNoShare, 600);
  EXPECT_EQ(SendMessageW(f.Frame61.ProgressBar2, PBM_GETPOS, 0, 0), 1000);
  Sleep(60);
  f.Pump();
  EXPECT_EQ(SendMessageW(f.Frame61.ProgressBar1, PBM_GETPOS, 0, 0), 100);
  EXPECT_EQ(SendMessageW(f.Frame61.ProgressBar2, PBM_GETPOS, 0, 0), 600);
  f.ProgressChanged(kNoShare, kNoShare);
  Sleep(60);
  f.Pump();
  EXPECT_EQ(SendMessageW(f.Frame61.ProgressBar1, PBM_GETPOS, 0, 0), 100);
  EXPECT_EQ(SendMessageW(f.Frame61.ProgressBar2, PBM_GETPOS, 0, 0), 600);
  // A clip the system lacks leaves its place empty instead of failing the install.
  for (HWND clip : {f.Frame61.Animate1, f.Frame61.Animate2})
    EXPECT_EQ(HasVisibleStyle(clip), f.Frame61.HasClip(clip));
  f.StageChanged(InstallStage::Copying);
  EXPECT_EQ(GetText(f.Frame61.StageLabel), kStageCopying);
  f.FileStarted(1, L"a.txt");
  EXPECT_EQ(GetText(f.Frame61.FileLabel), L"Копирование файла: a.txt");
  // Names coming faster than the eye reads wait for the next pump, which shows
  // the latest; a name still waiting when the copying ends is never shown.
  f.FileStarted(2, L"b.txt");
  f.FileStarted(3, L"c.txt");
  Sleep(60);
  f.Pump();
  EXPECT_EQ(GetText(f.Frame61.FileLabel), L"Копирование файла: c.txt");
  f.FileStarted(4, L"d.txt");
  f.FileStarted(5, L"e.txt");
  f.ProgressChanged(900, 900);
  f.ProgressChanged(950, 950);
  // The shortcuts stage empties the bars and the file label, and what they
  // held back is dropped.
  f.StageChanged(InstallStage::Shortcuts);
  Sleep(60);
  f.Pump();
  EXPECT_EQ(SendMessageW(f.Frame61.ProgressBar1, PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(SendMessageW(f.Frame61.ProgressBar2, PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(GetText(f.Frame61.FileLabel), L"");
  EXPECT_EQ(GetText(f.Frame61.StageLabel), kStageShortcuts);
}

// Closing the window while the install runs asks first; "Нет" lets it run to
// its end, "Да" stops it, takes back what it made and closes the window.
TEST_F(SetupWindowTest, ClosingDuringTheInstallAsksAndStopsCleanlyOnYes) {
  TestPackage package(
      L"[One_Data]\r\nCountOfFiles=1\r\n[One_Files]\r\nFileName1=a.txt\r\nFileSize1=3\r\n");
  package.WritePayload("abc");
  TForm1& f = Open(package);
  dialogs.answers.push_back(IDNO);
  PostMessageW(f.Handle(), WM_CLOSE, 0, 0);  // handled at the install's first pause
  InstallTo(package / L"x");
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].id, L"setup.abort");
  EXPECT_EQ(dialogs.asked[0].text, L"Прервать установку?");
  EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_TRUE(IsWindow(f.Handle()));
  EXPECT_TRUE(f.State().Installed);
  EXPECT_EQ(ReadFileBytes(package / L"x\\a.txt"), "abc");
  DestroyWindow(f.Handle());

  TForm1& g = Open(package);
  dialogs.asked.clear();
  dialogs.answers.push_back(IDYES);
  PostMessageW(g.Handle(), WM_CLOSE, 0, 0);
  InstallTo(package / L"y");
  EXPECT_EQ(dialogs.asked.size(), 1u) << "no error box after a stop the user asked for";
  EXPECT_EQ(g.Handle(), nullptr);
  EXPECT_FALSE(g.State().Installed);
  EXPECT_FALSE(FolderExists(package / L"y"));
}

// Started with /LOG=, the window's install is logged as the silent one is: what
// it wrote, and the failure with its exit code.
TEST_F(SetupWindowTest, TheInstallLogHearsTheWindowsInstall) {
  TempDir logs;
  TestPackage package(
      L"[One_Data]\r\nCountOfFiles=1\r\n[One_Files]\r\nFileName1=a.txt\r\nFileSize1=3\r\n");
  package.WritePayload("abc");
  {
    InstallLog log(LogFile::Create(logs / L"good.log"));
    Open(package, &log);
    InstallTo(package / L"x");
    EXPECT_EQ(log.FailureCode(), 0);
  }
  const std::string written = ReadFileBytes(logs / L"good.log");
  EXPECT_NE(written.find(Narrow(L"Файл: " + (package / L"x\\a.txt") + L" (3 байт)")),
            std::string::npos)
      << written;

  package.WritePayload("abcd");  // one byte more than the row says
  {
    InstallLog log(LogFile::Create(logs / L"bad.log"));
    Open(package, &log);
    InstallTo(package / L"y");
    EXPECT_EQ(log.FailureCode(), kExitBadPackage);
  }
  EXPECT_NE(ReadFileBytes(logs / L"bad.log").find("Ошибка (код 2)"), std::string::npos);
  EXPECT_EQ(dialogs.asked.size(), 1u);
}

// A target held open by another program: the window names it and asks
// "Повторить" / "Отмена"; Retry goes on once it is released, Cancel takes the
// install back and leaves the earlier file as it was, with no second box.
TEST_F(SetupWindowTest, AFileInUseIsAskedAboutRetryGoesOnCancelTakesBack) {
  const std::wstring script =
      L"[Main]\r\nProgramName=Демо\r\n[One_Data]\r\nSummarySize=2\r\nCountOfFiles=1\r\n"
      L"[One_Files]\r\nFileName1=a.txt\r\nFileSize1=2\r\n";
  TempDir target;
  const std::wstring held = target / L"a.txt";
  auto hold = [&] {
    return FileHandle(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  };
  WriteTextFile(held, "earlier");

  TestPackage cancelled(script);
  cancelled.WritePayload("AB");
  FileHandle holder = hold();
  ASSERT_TRUE(holder);
  TForm1& first = Open(cancelled);
  dialogs.answers.push_back(IDCANCEL);
  InstallTo(target.Path());
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].id, L"setup.in-use");
  EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_RETRYCANCEL | MB_ICONWARNING));
  EXPECT_NE(dialogs.asked[0].text.find(held), std::wstring::npos);
  EXPECT_FALSE(first.State().Installed);
  EXPECT_EQ(GetText(first.Frame61.StageLabel), L"Установка прервана.");
  EXPECT_TRUE(IsWindowEnabled(first.Button1));
  holder.Reset();
  EXPECT_EQ(ReadFileBytes(held), "earlier");

  dialogs.asked.clear();
  TestPackage retried(script);
  retried.WritePayload("AB");
  holder = hold();
  TForm1& second = Open(retried);
  dialogs.answers.push_back(IDRETRY);
  dialogs.onAsk = [&] { holder.Reset(); };  // the user closes the program first
  InstallTo(target.Path());
  EXPECT_EQ(dialogs.asked.size(), 1u);
  EXPECT_TRUE(second.State().Installed);
  EXPECT_EQ(ReadFileBytes(held), "AB");
}

// /REBOOTOK: no question; the finish page says the restart completes the
// install, with its restart box shown and ticked.
TEST_F(SetupWindowTest, AFileInUseWithRestartAllowedEndsOnTheRestartToFinishPage) {
  ScopedPendingRenames pending;
  TempDir target;
  const std::wstring held = target / L"a.txt";
  WriteTextFile(held, "earlier");
  TestPackage package(
      L"[Main]\r\nProgramName=Демо\r\n[One_Data]\r\nSummarySize=2\r\nCountOfFiles=1\r\n"
      L"[One_Files]\r\nFileName1=a.txt\r\nFileSize1=2\r\n");
  package.WritePayload("AB");
  FileHandle holder(
      CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  TForm1& f = Open(package);
  f.ReplaceInUseAtRestart();
  InstallTo(target.Path());
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_TRUE(f.State().Installed);
  EXPECT_TRUE(f.State().RestartToFinish);
  EXPECT_NE(GetText(f.Frame71.Label1).find(L"после перезагрузки"), std::wstring::npos);
  EXPECT_TRUE(HasVisibleStyle(f.Frame71.CheckBox3));
  EXPECT_TRUE(IsChecked(f.Frame71.CheckBox3));
  SendMessageW(f.Button1, BM_CLICK, 0, 0);
  EXPECT_EQ(shell.restarts, 1) << "the ticked box restarts, though the package asks for none";
}

namespace {
constexpr wchar_t kCode[] = L"{0E5C6F0A-3B7D-4C1E-9A8B-5D2F4E6A7C90}";

// A package of version 2.0 of a product that the machine already has, as an
// earlier install registered it: its entry, its record and its folder.
class UpgradeWindowTest : public SetupWindowTest {
 protected:
  UpgradeWindowTest() {
    package.programName = UniqueProgramName(L"Ковёр обновляемый");
    package.AddFile(L"app.txt", 10);
    package.Write();
    const std::wstring scriptPath = package.Folder() + L"Setup.ini";
    ProfileFile script = ProfileFile::Load(scriptPath);
    script.WriteString(L"Main", L"ProductVersion", L"2.0");
    script.WriteString(L"Main", L"ProductCode", kCode);
    script.WriteString(L"Main", L"InstallPath", package / L"proposed");
    script.Save(scriptPath);
    CreateDirectoryW(installed.c_str(), nullptr);
    WriteTextFile(installed + L"\\Uninst.ini", "[Files]\r\nFileCount=0\r\n");
  }
  ~UpgradeWindowTest() override { RegistryKey::DeleteKey(HKEY_LOCAL_MACHINE, Key()); }

  std::wstring Key() const { return UninstallRegistryKey(package.programName); }
  void Register(const wchar_t* version, const wchar_t* code) {
    RegistryKey key = RegistryKey::Create(HKEY_LOCAL_MACHINE, Key());
    key.WriteText(L"UninstallString", L"C:\\windows\\MVUninst.exe \"" + installed +
                                          L"\\Uninst.ini\" \"" + package.programName + L"\"");
    key.WriteText(L"InstallLocation", installed);
    key.WriteText(L"DisplayVersion", version);
    key.WriteText(L"ProductCode", code);
  }

  TestPackage package;
  std::wstring installed = package / L"installed";
};
}  // namespace

TEST_F(UpgradeWindowTest, TheFolderBoxProposesTheInstalledFolder) {
  Register(L"1.9", kCode);
  TForm1& f = Open(package);
  EXPECT_TRUE(dialogs.asked.empty()) << Narrow(dialogs.asked[0].text);
  EXPECT_EQ(GetText(f.Frame41.Edit1), installed);
  EXPECT_TRUE(IsWindowEnabled(f.Button2));
  EXPECT_EQ(f.RefusalCode(), 0);

  // An entry left without its record is no installed product.
  DeleteFileW((installed + L"\\Uninst.ini").c_str());
  EXPECT_EQ(GetText(Open(package).Frame41.Edit1), package / L"proposed");
}

TEST_F(UpgradeWindowTest, AnOlderPackageOrAnotherProductIsRefusedWithItsMessage) {
  const struct {
    const wchar_t* version;
    const wchar_t* code;
    const wchar_t* id;
    int exitCode;
    const wchar_t* says;
  } refusals[] = {
      {L"2.10", kCode, L"setup.downgrade", kExitDowngrade, L"(2.10), чем в этом пакете (2.0)"},
      {L"1.0", L"{11111111-2222-3333-4444-555555555555}", L"setup.other_product", kExitOtherProduct,
       L"уже установлена другая программа"}};
  for (const auto& [version, code, id, exitCode, says] : refusals) {
    Register(version, code);
    dialogs.asked.clear();
    InstallLog log;
    TForm1& f = Open(package, &log);
    ASSERT_EQ(dialogs.asked.size(), 1u) << Narrow(id);
    EXPECT_EQ(dialogs.asked[0].id, id);
    EXPECT_NE(dialogs.asked[0].text.find(says), std::wstring::npos)
        << Narrow(dialogs.asked[0].text);
    EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
    EXPECT_FALSE(IsWindowEnabled(f.Button2)) << "nothing may be installed over it";
    EXPECT_EQ(f.RefusalCode(), exitCode);
    EXPECT_EQ(log.FailureCode(), exitCode);
  }

  // /ALLOWDOWNGRADE lets the older version through, into the installed folder.
  Register(L"2.10", kCode);
  dialogs.asked.clear();
  TForm1& f = Open(package, nullptr, true);
  EXPECT_TRUE(dialogs.asked.empty()) << Narrow(dialogs.asked[0].text);
  EXPECT_EQ(GetText(f.Frame41.Edit1), installed);
  EXPECT_TRUE(IsWindowEnabled(f.Button2));
}
