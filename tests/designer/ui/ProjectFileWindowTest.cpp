// The "Файл" menu's project commands driven through the designer's window: the
// round trip through the pages, the title, the save question, broken and
// incomplete files, the keyboard shortcuts, and the package of the GUI build
// against the command-line build of the same project.
#include "DesignerWindowFixture.h"
#include "ProjectFileChecks.h"
#include "designer/BuildFixture.h"
#include "designer/ProjectTestSupport.h"
#include "designer/ui/main_menu.h"
#include "formats/ProductCode.h"
#include "formats/ProjectFile.h"
#include "support/Error.h"
#include "win/MessagePump.h"
#include "win/RichTextBox.h"

namespace {
constexpr wchar_t kFresh[] = L"Kovrin 1.4.1";

// A small RTF document in Windows-1251, as an author's editor writes one.
const char kLicenseRtf[] =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}\r\n"
    "\\f0\\fs20 \\'cb\\'e8\\'f6\\'e5\\'ed\\'e7\\'e8\\'ff \\b bold\\b0\\par\r\n}\r\n";

class ProjectFileWindow : public DesignerWindowTest {
 protected:
  // The project file's folder, with source files below it and one elsewhere.
  ProjectFileWindow() : project(dir / L"Проект"), projectFile(project + L"\\demo.kovrin") {
    ForceFolder(project + L"\\files\\sub");
    ForceFolder(dir / L"elsewhere");
    WritePatternFile(project + L"\\files\\a.txt", 10, 1);
    WritePatternFile(project + L"\\files\\sub\\b.bin", 20, 2);
    WritePatternFile(dir / L"elsewhere\\c.dll", 30, 3);
    ForceFolder(dir / L"elsewhere\\bin");
    WritePatternFile(dir / L"elsewhere\\bin\\c.dll", 30, 3);  // the row renamed below
    WriteTextFile(dir / L"license.rtf", kLicenseRtf);
  }

  std::wstring Title(const TForm1& f) const { return GetText(f.Handle()); }
  std::wstring Title() const { return Title(*form); }
  void SaveAs(TForm1& f, const std::wstring& path) {
    dialogs.saveAnswers.push_back(path);
    ASSERT_TRUE(f.SaveProjectAsClick());
  }
  // Types into the product name box, as the author does, and lets the title follow.
  void TypeProductName(TForm1& f, const std::wstring& text) {
    SetText(f.Frame11.LabeledEdit1, text);
    Pump();
  }
  const ScriptedDialogs::Asked* LastAsked(const std::wstring& id) const {
    for (auto it = dialogs.asked.rbegin(); it != dialogs.asked.rend(); ++it)
      if (it->id == id)
        return &*it;
    return nullptr;
  }
  size_t Questions() const {
    size_t count = 0;
    for (const ScriptedDialogs::Asked& asked : dialogs.asked)
      count += asked.id == L"project.save_changes";
    return count;
  }

  // Every field of every page set through its controls, as the author sets them.
  void FillEveryField(TForm1& f) {
    SetText(f.Frame11.LabeledEdit1, L"Ковёр 2.0");
    SetText(f.Frame11.LabeledEdit2, L"Morvel \"Labs\"");
    SetText(f.Frame11.LabeledEdit3, L"%ProgramFiles%\\%CompanyName%\\Ковёр");
    SetText(f.Frame11.LabeledEdit4, L"Установка.exe");
    SetText(f.Frame11.LabeledEdit5, L" D:\\Out\\ ");
    SetText(f.Frame11.LabeledEdit6, L"2.0 (сборка 7)");

    dialogs.fileAnswers.push_back({project + L"\\files\\a.txt", dir / L"elsewhere\\c.dll"});
    Click(f.Frame21.Button1);
    dialogs.folderAnswers.push_back(project + L"\\files");
    Click(f.Frame21.Button2);
    ASSERT_EQ(f.Frame21.FileCount(), 4);
    EXPECT_TRUE(EndLabelEdit(f.Frame21.Handle(), f.Frame21.ListView1, 1, L"bin\\c.dll"));

    Click(f.Frame31.CheckBox1);
    SetText(f.Frame31.Edit1, L"D:\\Tools\\WinRAR\\WinRAR.exe");
    SendMessageW(f.Frame31.ComboBox1, CB_SETCURSEL, 4, 0);
    Click(f.Frame31.CheckBox2);

    // Information: rich text loaded from a file, then plain text in a chosen font.
    Click(f.Frame41.CheckBox1);
    dialogs.fileAnswers.push_back({dir / L"license.rtf"});
    Click(f.Frame41.Button1);
    Click(f.Frame41.RadioButton2);
    SetText(f.Frame41.Memo1, L"Первая строка\r\n\r\n  с отступом; [не раздел] Key=Value");
    dialogs.fontAnswers.push_back(
        FontChoice{L"Courier New", 12, 0x00336699, true, false, true, true});
    Click(f.Frame41.Button2);

    // License: both texts, the rich one used.
    Click(f.Frame51.CheckBox1);
    dialogs.fileAnswers.push_back({dir / L"license.rtf"});
    Click(f.Frame51.Button1);
    SetText(f.Frame51.Memo1, L"Лицензия\r\nвторая строка");

    WhenEditorShows([](TForm2& editor) {
      editor.FillFrom(ShortcutEntry{L"Ковёр", L"D:\\Links", L"%InstallPath%\\Ковёр.exe",
                                    L"\"-a b\"", L"%InstallPath%\\bin"});
      Click(editor.Button1);
    });
    Click(f.Frame61.Button1);
    f.Frame61.AppendRow(
        ShortcutEntry{L"Справка", L"%StartMenu%", L"%InstallPath%\\help.html", L"", L""});

    Click(f.Frame71.CheckBox3);
    SetText(f.Frame71.Edit1, L"%InstallPath%\\Ковёр.exe");
    Click(f.Frame71.CheckBox4);
    SetText(f.Frame71.Edit2, L"https://example.test/?a=b&c=\"d\"");
    Click(f.Frame71.CheckBox5);
  }

  TempDir dir;
  std::wstring project;
  std::wstring projectFile;
};
}  // namespace

TEST_F(ProjectFileWindow, FileMenuItemsShortcutsAndTheSeparatorAboveExit) {
  HMENU file = GetSubMenu(GetMenu(form->Handle()), 0);
  ASSERT_EQ(GetMenuItemCount(file), 6);
  const std::pair<const wchar_t*, UINT> items[] = {{L"Новый проект\tCtrl+N", IDM_NEW_PROJECT},
                                                   {L"Открыть проект…\tCtrl+O", IDM_OPEN_PROJECT},
                                                   {L"Сохранить проект\tCtrl+S", IDM_SAVE_PROJECT},
                                                   {L"Сохранить проект как…", IDM_SAVE_PROJECT_AS}};
  for (UINT i = 0; i < 4; ++i) {
    wchar_t text[64] = L"";
    GetMenuStringW(file, i, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, items[i].first);
    EXPECT_EQ(GetMenuItemID(file, static_cast<int>(i)), items[i].second);
  }
  EXPECT_EQ(GetMenuState(file, 4, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(GetMenuItemID(file, 5), static_cast<UINT>(IDM_N2));

  ACCEL keys[8] = {};
  ASSERT_EQ(CopyAcceleratorTableW(form->Accelerators(), keys, 8), 3);
  for (const ACCEL& key : keys) {
    if (!key.cmd)
      continue;
    EXPECT_EQ(key.fVirt, FVIRTKEY | FCONTROL);
    EXPECT_EQ(key.cmd, key.key == 'N'   ? IDM_NEW_PROJECT
                       : key.key == 'O' ? IDM_OPEN_PROJECT
                                        : IDM_SAVE_PROJECT)
        << static_cast<char>(key.key);
  }
}

// Every field saved, opened into a fresh designer and saved again: the same bytes.
TEST_F(ProjectFileWindow, EveryFieldRoundTripsThroughTheWindows) {
  FillEveryField(*form);
  SetupProject typed = form->StoreProject();
  ASSERT_EQ(typed.ProductCode, L"");
  SaveAs(*form, projectFile);
  const std::string saved = ReadFileBytes(projectFile);
  // The first save gives the project its code, and the file keeps it.
  typed.ProductCode = form->StoreProject().ProductCode;
  EXPECT_TRUE(IsProductCode(typed.ProductCode)) << Narrow(typed.ProductCode);
  EXPECT_NE(saved.find("ProductCode=" + Narrow(typed.ProductCode) + "\r\n"), std::string::npos);
  // Folders below the project's are kept relative to it, the others as they stand.
  EXPECT_EQ(saved.find(Narrow(project)), std::string::npos);
  EXPECT_NE(saved.find("Folder=" + Narrow(dir / L"elsewhere")), std::string::npos);
  EXPECT_NE(saved.find("File=bin\\c.dll\r\n"), std::string::npos);
  EXPECT_NE(saved.find("OutputFolder=\" D:\\\\Out\\\\ \"\r\n"), std::string::npos);
  EXPECT_NE(saved.find("FontStyle=Bold Underline StrikeOut\r\n"), std::string::npos);

  std::unique_ptr<TForm1> second = FreshDesigner();
  ASSERT_TRUE(second->OpenProject(projectFile));
  ExpectSameProject(second->StoreProject(), typed);
  EXPECT_EQ(Title(*second), L"demo - Kovrin 1.4.1");
  // Loading took the same paths as clicks: governed boxes enabled and coloured.
  EXPECT_TRUE(Enabled(second->Frame31.Edit1));
  EXPECT_EQ(second->Frame31.BoxColor(second->Frame31.Edit1), WindowColor());
  EXPECT_TRUE(Enabled(second->Frame41.Button2));
  EXPECT_TRUE(Shown(second->Frame41.Memo1));
  EXPECT_FALSE(Shown(second->Frame51.Memo1));
  EXPECT_EQ(second->Frame71.BoxColor(second->Frame71.Edit2), WindowColor());
  EXPECT_FALSE(Enabled(second->Frame71.CheckBox2));
  EXPECT_EQ(GetText(second->Frame21.Label1), L"Всего файлов: 4");

  ASSERT_TRUE(second->SaveProjectClick());
  EXPECT_EQ(ReadFileBytes(projectFile), saved);
  SaveAs(*second, project + L"\\copy.kovrin");
  EXPECT_EQ(ReadFileBytes(project + L"\\copy.kovrin"), saved);
}

// The boxes that exclude ones set above (the restart notice the other two endings,
// the built-in packer WinRAR) in a round of their own.
TEST_F(ProjectFileWindow, TheBoxesThatExcludeOthersRoundTripToo) {
  Click(form->Frame71.CheckBox1);
  Click(form->Frame71.CheckBox2);
  Click(form->Frame31.CheckBox3);
  SaveAs(*form, projectFile);
  EXPECT_NE(ReadFileBytes(projectFile).find("\r\nUseBuiltInPacker=Yes\r\n"), std::string::npos);
  std::unique_ptr<TForm1> second = FreshDesigner();
  ASSERT_TRUE(second->OpenProject(projectFile));
  EXPECT_TRUE(IsChecked(second->Frame71.CheckBox1));
  EXPECT_TRUE(IsChecked(second->Frame71.CheckBox2));
  EXPECT_TRUE(Enabled(second->Frame71.CheckBox2));
  EXPECT_TRUE(IsChecked(second->Frame31.CheckBox3));
  EXPECT_FALSE(IsChecked(second->Frame31.CheckBox1));
  const std::string saved = ReadFileBytes(projectFile);
  ASSERT_TRUE(second->SaveProjectClick());
  EXPECT_EQ(ReadFileBytes(projectFile), saved);
}

TEST_F(ProjectFileWindow, TheExampleProjectRoundTrips) {
  form->N10Click();
  SaveAs(*form, projectFile);
  const std::string saved = ReadFileBytes(projectFile);
  std::unique_ptr<TForm1> second = FreshDesigner();
  ASSERT_TRUE(second->OpenProject(projectFile));
  ExpectSameProject(second->StoreProject(), [&] {
    SetupProject p = form->StoreProject();
    for (FileEntry& file : p.Files) file.Size = -1;  // C:\Kovrin\ holds none of them
    return p;
  }());
  ASSERT_TRUE(second->SaveProjectClick());
  EXPECT_EQ(ReadFileBytes(projectFile), saved);
}

TEST_F(ProjectFileWindow, TheTitleNamesTheFileAndMarksRealChanges) {
  EXPECT_EQ(Title(), kFresh);
  TypeProductName(*form, L"Ковёр");
  EXPECT_EQ(Title(), kFresh);  // no file: the title as it always was

  SaveAs(*form, dir / L"Мой проект.kovrin");
  EXPECT_EQ(Title(), L"Мой проект - Kovrin 1.4.1");
  EXPECT_EQ(form->ProjectPath(), dir / L"Мой проект.kovrin");

  TypeProductName(*form, L"Ковёр 2");
  EXPECT_EQ(Title(), L"Мой проект* - Kovrin 1.4.1");
  TypeProductName(*form, L"Ковёр");  // typed back: the bytes are the saved ones again
  EXPECT_EQ(Title(), L"Мой проект - Kovrin 1.4.1");

  Click(form->Frame71.CheckBox5);  // a click
  Pump();
  EXPECT_EQ(Title(), L"Мой проект* - Kovrin 1.4.1");
  Click(form->Frame71.CheckBox5);
  Pump();
  EXPECT_EQ(Title(), L"Мой проект - Kovrin 1.4.1");

  dialogs.fileAnswers.push_back({project + L"\\files\\a.txt"});  // a page command
  Click(form->Frame21.Button1);
  Pump();
  EXPECT_EQ(Title(), L"Мой проект* - Kovrin 1.4.1");
  ASSERT_TRUE(form->SaveProjectClick());
  EXPECT_EQ(Title(), L"Мой проект - Kovrin 1.4.1");
  EXPECT_TRUE(EndLabelEdit(form->Frame21.Handle(), form->Frame21.ListView1, 0, L"renamed.txt"));
  Pump();
  EXPECT_EQ(Title(), L"Мой проект* - Kovrin 1.4.1");
  SendMessageW(form->Frame31.ComboBox1, CB_SETCURSEL, 0, 0);  // a choice in a list
  SendMessageW(form->Frame31.Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(form->Frame31.ComboBox1));
  ASSERT_TRUE(form->SaveProjectClick());
  EXPECT_NE(ReadFileBytes(dir / L"Мой проект.kovrin").find("CompressionLevel=0"),
            std::string::npos);
  form->N10Click();  // a menu command
  Pump();
  EXPECT_EQ(Title(), L"Мой проект* - Kovrin 1.4.1");

  dialogs.answers.push_back(IDNO);
  form->NewProjectClick();
  EXPECT_EQ(Title(), kFresh);
  EXPECT_EQ(form->ProjectPath(), L"");
}

// The file keeps no sizes: sizes measured afresh (as a build measures them)
// leave the title unmarked, and a real edit still marks it.
TEST_F(ProjectFileWindow, MeasuredSizesAreNoChange) {
  dialogs.fileAnswers.push_back({project + L"\\files\\a.txt"});
  Click(form->Frame21.Button1);
  SaveAs(*form, dir / L"Размеры.kovrin");
  SetupProject measured = form->StoreProject();
  ASSERT_EQ(measured.Files.size(), 1u);
  measured.Files[0].Size += 1000;
  form->LoadProject(measured);
  Pump();
  ASSERT_EQ(form->StoreProject().Files[0].Size, measured.Files[0].Size);
  EXPECT_FALSE(form->HasUnsavedChanges());
  EXPECT_EQ(Title(), L"Размеры - Kovrin 1.4.1");

  TypeProductName(*form, L"Другое имя");
  EXPECT_TRUE(form->HasUnsavedChanges());
  EXPECT_EQ(Title(), L"Размеры* - Kovrin 1.4.1");
}

TEST_F(ProjectFileWindow, NewProjectBringsBackTheStartState) {
  RegisterWinRar(L"\"D:\\Tools\\WinRAR\\WinRAR.exe\" \"%1\"");
  std::unique_ptr<TForm1> f = FreshDesigner();
  const std::string start = ProjectFileBytes(f->StoreProject(), projectFile);
  EXPECT_NE(start.find("WinRarPath=D:\\Tools\\WinRAR\\WinRAR.exe"), std::string::npos);
  FillEveryField(*f);
  f->ShowPage(4);
  dialogs.answers.push_back(IDNO);
  f->NewProjectClick();
  EXPECT_EQ(ProjectFileBytes(f->StoreProject(), projectFile), start);
  EXPECT_FALSE(Enabled(f->Frame31.Edit1));
  EXPECT_EQ(f->Frame31.BoxColor(f->Frame31.Edit1), FaceColor());
  EXPECT_FALSE(Enabled(f->Frame71.Edit1));
  EXPECT_EQ(GetText(f->Frame21.Label1), L"Всего файлов: 0");
  EXPECT_EQ(f->StoreProject().Shortcuts.size(), 0u);
  EXPECT_FALSE(Enabled(f->Frame61.Button2));
}

// Да saves first, Нет goes on, Отмена stops: for "Новый проект".
TEST_F(ProjectFileWindow, SaveQuestionBeforeANewProject) {
  SaveAs(*form, projectFile);
  const std::string original = ReadFileBytes(projectFile);

  TypeProductName(*form, L"Изменено");
  dialogs.answers.push_back(IDCANCEL);
  form->NewProjectClick();
  const ScriptedDialogs::Asked* asked = LastAsked(L"project.save_changes");
  ASSERT_NE(asked, nullptr);
  EXPECT_EQ(asked->text, L"Сохранить изменения в проекте?");
  EXPECT_EQ(asked->caption, L"Kovrin 1.4.1");
  EXPECT_EQ(asked->style, static_cast<unsigned>(MB_YESNOCANCEL | MB_ICONWARNING));
  EXPECT_EQ(GetText(form->Frame11.LabeledEdit1), L"Изменено");
  EXPECT_EQ(Title(), L"demo* - Kovrin 1.4.1");
  EXPECT_EQ(ReadFileBytes(projectFile), original);

  dialogs.answers.push_back(IDNO);
  form->NewProjectClick();
  EXPECT_EQ(GetText(form->Frame11.LabeledEdit1), L"");
  EXPECT_EQ(ReadFileBytes(projectFile), original);
  EXPECT_EQ(Title(), kFresh);

  // Unchanged since the new project: no question.
  const size_t questions = Questions();
  form->NewProjectClick();
  EXPECT_EQ(Questions(), questions);

  ASSERT_TRUE(form->OpenProject(projectFile));
  TypeProductName(*form, L"Сохранено");
  dialogs.answers.push_back(IDYES);
  form->NewProjectClick();
  EXPECT_EQ(GetText(form->Frame11.LabeledEdit1), L"");
  EXPECT_NE(ReadFileBytes(projectFile).find("ProgramName=Сохранено"), std::string::npos);
}

// The same for "Открыть проект…": the question comes before the file dialog.
TEST_F(ProjectFileWindow, SaveQuestionBeforeOpeningAnother) {
  CopyFolder(DemoFolder(), dir / L"demo");
  const std::wstring other = dir / L"demo\\demo.kovrin";
  SaveAs(*form, projectFile);
  const std::string original = ReadFileBytes(projectFile);
  TypeProductName(*form, L"Изменено");

  dialogs.answers.push_back(IDCANCEL);
  dialogs.fileAnswers.push_back({other});
  form->OpenProjectClick();
  EXPECT_EQ(dialogs.fileAnswers.size(), 1u);  // no file dialog
  EXPECT_EQ(form->ProjectPath(), projectFile);
  EXPECT_EQ(GetText(form->Frame11.LabeledEdit1), L"Изменено");

  dialogs.answers.push_back(IDNO);
  form->OpenProjectClick();
  EXPECT_EQ(form->ProjectPath(), other);
  EXPECT_EQ(GetText(form->Frame11.LabeledEdit1), L"Kovrin Demo");
  EXPECT_EQ(ReadFileBytes(projectFile), original);
  EXPECT_EQ(Title(), L"demo - Kovrin 1.4.1");

  SetText(form->Frame11.LabeledEdit2, L"Другая компания");
  dialogs.answers.push_back(IDYES);
  dialogs.fileAnswers.push_back({projectFile});
  form->OpenProjectClick();
  EXPECT_EQ(form->ProjectPath(), projectFile);
  EXPECT_NE(ReadFileBytes(other).find("CompanyName=Другая компания"), std::string::npos);

  // The file dialog cancelled after the question: nothing else happens.
  TypeProductName(*form, L"Снова");
  dialogs.answers.push_back(IDNO);
  form->OpenProjectClick();
  EXPECT_EQ(form->ProjectPath(), projectFile);
  EXPECT_EQ(GetText(form->Frame11.LabeledEdit1), L"Снова");
}

// And for "Выход" and the frame's close button.
TEST_F(ProjectFileWindow, SaveQuestionBeforeExit) {
  SaveAs(*form, projectFile);
  const std::string original = ReadFileBytes(projectFile);
  TypeProductName(*form, L"Изменено");

  dialogs.answers.push_back(IDCANCEL);
  form->N2Click();
  ASSERT_NE(form->Handle(), nullptr);
  EXPECT_EQ(Questions(), 1u);

  dialogs.answers.push_back(IDNO);
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(form->Handle(), nullptr);
  EXPECT_EQ(ReadFileBytes(projectFile), original);

  std::unique_ptr<TForm1> f = FreshDesigner();
  ASSERT_TRUE(f->OpenProject(projectFile));
  TypeProductName(*f, L"Сохранено");
  dialogs.answers.push_back(IDYES);
  f->N2Click();
  EXPECT_EQ(f->Handle(), nullptr);
  EXPECT_NE(ReadFileBytes(projectFile).find("ProgramName=Сохранено"), std::string::npos);

  // Unchanged: it closes without a word.
  f = FreshDesigner();
  ASSERT_TRUE(f->OpenProject(projectFile));
  const size_t questions = Questions();
  f->N2Click();
  EXPECT_EQ(f->Handle(), nullptr);
  EXPECT_EQ(Questions(), questions);
}

// A designer that never had a file ends on "Выход" as it always did; after
// "Новый проект" its changes have no file yet, so Да asks where to save them.
TEST_F(ProjectFileWindow, WithoutAFileExitAsksOnlyOnceAFileWasUsed) {
  TypeProductName(*form, L"Не сохранено");
  form->N2Click();
  EXPECT_EQ(form->Handle(), nullptr);
  EXPECT_EQ(Questions(), 0u);

  std::unique_ptr<TForm1> f = FreshDesigner();
  SaveAs(*f, projectFile);
  f->NewProjectClick();
  TypeProductName(*f, L"Новый");
  dialogs.answers.push_back(IDYES);  // the save dialog is cancelled: so is the exit
  f->N2Click();
  ASSERT_NE(f->Handle(), nullptr);
  ASSERT_EQ(dialogs.proposedSaves.size(), 2u);
  EXPECT_EQ(dialogs.proposedSaves[1], L"");
  dialogs.answers.push_back(IDYES);
  dialogs.saveAnswers.push_back(dir / L"new.kovrin");
  f->N2Click();
  EXPECT_EQ(f->Handle(), nullptr);
  EXPECT_NE(ReadFileBytes(dir / L"new.kovrin").find("ProgramName=Новый"), std::string::npos);

  // Opening over typed work that never had a file asks too.
  f = FreshDesigner();
  TypeProductName(*f, L"Набрано");
  dialogs.answers.push_back(IDCANCEL);
  dialogs.fileAnswers.push_back({projectFile});
  f->OpenProjectClick();
  EXPECT_EQ(GetText(f->Frame11.LabeledEdit1), L"Набрано");
  EXPECT_EQ(f->ProjectPath(), L"");
}

TEST_F(ProjectFileWindow, ABrokenFileChangesNothing) {
  CopyFolder(DemoFolder(), project);
  const std::string demo = ReadFileBytes(projectFile);
  form->N10Click();
  SaveAs(*form, dir / L"mine.kovrin");
  const SetupProject before = form->StoreProject();

  // The parser's messages are the format tests'; here: the window shows one and keeps its project.
  const size_t at = demo.find("UseWinRar=No");
  WriteTextFile(projectFile, demo.substr(0, at) + "UseWinRar=1" + demo.substr(at + 12));
  dialogs.fileAnswers.push_back({projectFile});
  form->OpenProjectClick();
  const ScriptedDialogs::Asked* error = LastAsked(L"project.open_error");
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(
      error->text.rfind(L"demo.kovrin, строка 24: значение UseWinRar должно быть Yes или No", 0),
      0u)
      << Narrow(error->text);
  EXPECT_EQ(error->style, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
  ExpectSameProject(form->StoreProject(), before);
  EXPECT_EQ(form->ProjectPath(), dir / L"mine.kovrin");
  Pump();
  EXPECT_EQ(Title(), L"mine - Kovrin 1.4.1");
}

TEST_F(ProjectFileWindow, AMissingSourceFileIsNamedAndItsRowMarked) {
  CopyFolder(DemoFolder(), project);
  DeleteFileW((project + L"\\files\\docs\\manual.txt").c_str());
  ASSERT_TRUE(form->OpenProject(projectFile));
  const ScriptedDialogs::Asked* report = LastAsked(L"project.missing_files");
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->text, L"Не найдены или не открываются файлы проекта (1):\n" + project +
                              L"\\files\\docs\\manual.txt");
  EXPECT_EQ(report->caption, L"Внимание!");
  EXPECT_EQ(form->Frame21.FileCount(), 5);
  wchar_t cell[32] = L"";
  ListView_GetItemText(form->Frame21.ListView1, 3, 0, cell, 32);
  EXPECT_STREQ(cell, L"manual.txt");
  ListView_GetItemText(form->Frame21.ListView1, 3, 2, cell, 32);
  EXPECT_STREQ(cell, L"-1");
  ListView_GetItemText(form->Frame21.ListView1, 4, 2, cell, 32);
  EXPECT_STRNE(cell, L"-1");
  Pump();
  EXPECT_EQ(Title(), L"demo - Kovrin 1.4.1");
}

TEST_F(ProjectFileWindow, CtrlSSavesThroughTheMessageLoop) {
  SaveAs(*form, projectFile);
  SetText(form->Frame11.LabeledEdit2, L"Нажато Ctrl+S");
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE pressed[256];
  std::copy(std::begin(keys), std::end(keys), pressed);
  pressed[VK_CONTROL] = 0x80;
  SetKeyboardState(pressed);
  PostMessageW(form->Frame11.LabeledEdit2, WM_KEYDOWN, 'S', 1);
  PostQuitMessage(0);
  RunMessageLoop(*form, form->Accelerators());
  SetKeyboardState(keys);
  EXPECT_NE(ReadFileBytes(projectFile).find("CompanyName=Нажато Ctrl+S"), std::string::npos);
  EXPECT_EQ(Title(), L"demo - Kovrin 1.4.1");
}

TEST_F(ProjectFileWindow, ASaveThatFailsKeepsTheFileAndTheMark) {
  SaveAs(*form, projectFile);
  TypeProductName(*form, L"Изменено");
  dialogs.saveAnswers.push_back(dir / L"no\\such\\folder\\x.kovrin");
  EXPECT_FALSE(form->SaveProjectAsClick());
  const ScriptedDialogs::Asked* error = LastAsked(L"project.save_error");
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->text.rfind(L"Unable to write to ", 0), 0u) << Narrow(error->text);
  EXPECT_EQ(form->ProjectPath(), projectFile);
  EXPECT_EQ(Title(), L"demo* - Kovrin 1.4.1");
}

// The package of the build dialog and of `Kovrin.exe /build` for one project:
// the same files with the same bytes.
TEST(ProjectBuilds, TheGuiAndTheCommandLineBuildTheSamePackage) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  BuildFixture fx;
  CopyFolder(DemoFolder(), fx.root / L"demo");
  const std::wstring projectFile = fx.root / L"demo\\demo.kovrin";
  const std::wstring gui = fx.output + L"\\gui", console = fx.output + L"\\console";

  ScriptedDialogs dialogs;
  ScopedErrorPrompter errors(dialogs);
  RecordingShell shell;
  TForm1 form(dialogs, shell, fx.designer, false);
  form.Create(nullptr);
  ASSERT_TRUE(form.OpenProject(projectFile));
  SetText(form.Frame11.LabeledEdit5, gui);
  form.N4Click();
  ASSERT_FALSE(dialogs.asked.empty());
  ASSERT_EQ(dialogs.asked.back().id, L"build.done") << Narrow(dialogs.asked.back().text);

  RecordingConsole lines;
  ASSERT_EQ(RunCommandLineBuild(ParseStartCommand({L"/build", projectFile, L"/out", console}),
                                fx.designer, lines),
            kExitBuilt);

  const std::vector<std::wstring> files = FilesIn(gui);
  EXPECT_EQ(files, (std::vector<std::wstring>{L"Setup.exe", L"Setup.ini", L"data.dat", L"setup.dat",
                                              L"uninst.dat"}));
  EXPECT_EQ(FilesIn(console), files);
  for (const std::wstring& name : files)
    EXPECT_EQ(ReadFileBytes(gui + L"\\" + name), ReadFileBytes(console + L"\\" + name))
        << Narrow(name);
}
