#include "DesignerWindowFixture.h"
#include "designer/FileList.h"
#include "support/Error.h"
#include "win/RichTextBox.h"

TEST_F(DesignerWindowTest, FilesPageAddsDeletesAndClears) {
  TFrame2& files = form->Frame21;
  TempDir dir;
  WritePatternFile(dir / L"a.txt", 100, 1);
  WritePatternFile(dir / L"b.dll", 23, 2);
  dialogs.fileAnswers.push_back({dir / L"a.txt", dir / L"b.dll", dir / L"a.txt"});
  Click(files.Button1);
  ASSERT_EQ(files.FileCount(), 3);                    // the same file twice is listed twice
  EXPECT_EQ(files.Rows()[0].RelativeName, L"a.txt");  // the row's fields: SingleFileEntry's tests
  EXPECT_EQ(GetText(files.Label1), L"Всего файлов: 3");
  EXPECT_EQ(GetText(files.Label2), L"Общий размер: 223 байт");
  // The list shows the rows through the standard list-view messages.
  wchar_t cell[64] = {};
  ListView_GetItemText(files.ListView1, 1, 2, cell, 64);
  EXPECT_STREQ(cell, L"23");

  Click(files.Button1);  // the dialog is cancelled: nothing changes
  EXPECT_EQ(files.FileCount(), 3);

  ListView_SetItemState(files.ListView1, 0, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(files.ListView1, 2, LVIS_SELECTED, LVIS_SELECTED);
  Click(files.Button3);
  ASSERT_EQ(files.FileCount(), 1);
  EXPECT_EQ(files.Rows()[0].RelativeName, L"b.dll");
  EXPECT_EQ(GetText(files.Label2), L"Общий размер: 23 байт");

  Click(files.Button3);  // nothing selected: only the labels are set again
  EXPECT_EQ(files.FileCount(), 1);
  Click(files.Button4);
  EXPECT_EQ(files.FileCount(), 0);
  EXPECT_EQ(GetText(files.Label1), L"Всего файлов: 0");
}

TEST_F(DesignerWindowTest, FilesPageAddsAFolderTreeBelowTheChosenRoot) {
  TFrame2& files = form->Frame21;
  TempDir dir;
  ForceFolder(dir / L"Work\\sub");
  WritePatternFile(dir / L"Work\\a.txt", 5, 1);
  WritePatternFile(dir / L"Work\\sub\\b.dll", 7, 2);
  dialogs.folderAnswers.push_back(dir / L"Work");
  Click(files.Button2);
  EXPECT_EQ(form->State.FolderRoot, dir / L"Work");
  ASSERT_EQ(files.FileCount(), 2);                       // names and sizes: the AddFolderTree tests
  EXPECT_EQ(ListView_GetItemCount(files.ListView1), 2);  // the list view shows every row
  EXPECT_EQ(files.Rows()[0].LocalFolder, dir / L"Work");
  EXPECT_EQ(GetText(files.Label2), L"Общий размер: 12 байт");

  Click(files.Button2);  // cancelled: FolderRoot stays
  EXPECT_EQ(form->State.FolderRoot, dir / L"Work");
  EXPECT_EQ(files.FileCount(), 2);
}

TEST_F(DesignerWindowTest, FilesPageRefusesTwoGibibyteFilesByName) {
  TFrame2& files = form->Frame21;
  TempDir dir;
  MakeSparseFile(dir / L"disk.img", kPackageFileLimit);
  WritePatternFile(dir / L"ok.txt", 4, 1);
  dialogs.fileAnswers.push_back({dir / L"disk.img", dir / L"ok.txt"});
  Click(files.Button1);
  ASSERT_EQ(files.FileCount(), 1);
  EXPECT_EQ(files.Rows()[0].RelativeName, L"ok.txt");
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].id, L"files.too_large");
  EXPECT_NE(dialogs.asked[0].text.find(dir / L"disk.img"), std::wstring::npos);
}

TEST_F(DesignerWindowTest, CompressionBoxGovernsItsControlsButNotTheSortBox) {
  TFrame3& pack = form->Frame31;
  HWND governed[] = {pack.Label2,  pack.Edit1,  pack.Button1,
                     pack.Button2, pack.Label1, pack.ComboBox1};
  for (HWND control : governed) EXPECT_FALSE(Enabled(control));
  EXPECT_TRUE(Enabled(pack.CheckBox2));
  EXPECT_EQ(pack.BoxColor(pack.Edit1), FaceColor());
  Click(pack.CheckBox1);
  for (HWND control : governed) EXPECT_TRUE(Enabled(control));
  EXPECT_EQ(pack.BoxColor(pack.Edit1), WindowColor());
  EXPECT_TRUE(Enabled(pack.CheckBox2));
  SendMessageW(pack.ComboBox1, CB_SETCURSEL, 0, 0);
  EXPECT_EQ(form->StoreProject().CompressionLevel, 0);
  Click(pack.CheckBox1);
  EXPECT_FALSE(Enabled(pack.ComboBox1));
  EXPECT_EQ(form->StoreProject().CompressionLevel, 0);  // the method stays
}

TEST_F(DesignerWindowTest, BuiltInPackerAndWinRarExcludeEachOther) {
  TFrame3& pack = form->Frame31;
  EXPECT_FALSE(IsChecked(pack.CheckBox3));
  Click(pack.CheckBox1);
  Click(pack.CheckBox3);
  EXPECT_FALSE(IsChecked(pack.CheckBox1));
  EXPECT_FALSE(Enabled(pack.ComboBox1));  // unticking WinRAR governs its controls as a click does
  SetupProject stored = form->StoreProject();
  EXPECT_TRUE(stored.UseBuiltInPacker);
  EXPECT_FALSE(stored.UseWinRar);

  Click(pack.CheckBox1);
  EXPECT_FALSE(IsChecked(pack.CheckBox3));
  EXPECT_FALSE(form->StoreProject().UseBuiltInPacker);

  // A hand-written project asking for both gets WinRAR, as a build would.
  stored.UseWinRar = true;
  pack.Load(stored);
  EXPECT_TRUE(IsChecked(pack.CheckBox1));
  EXPECT_FALSE(IsChecked(pack.CheckBox3));
  stored.UseWinRar = false;
  pack.Load(stored);
  EXPECT_TRUE(IsChecked(pack.CheckBox3));
  EXPECT_FALSE(Enabled(pack.ComboBox1));
}

TEST_F(DesignerWindowTest, AutoFillsThePathOrWarns) {
  TFrame3& pack = form->Frame31;
  ScratchMachineKey scratch(machine);
  SetText(pack.Edit1, L"D:\\kept.exe");
  Click(pack.Button2);
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].text, L"Программа WinRAR не найдена на вашем компьютере");
  EXPECT_EQ(dialogs.asked[0].caption, L"Внимание!");
  EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_OK | MB_ICONWARNING));
  EXPECT_EQ(GetText(pack.Edit1), L"D:\\kept.exe");

  RegisterWinRar(L"\"C:\\Tools\\WinRAR\\WinRAR.exe\" \"%1\"");
  Click(pack.Button2);
  EXPECT_EQ(GetText(pack.Edit1), L"C:\\Tools\\WinRAR\\WinRAR.exe");
  EXPECT_TRUE(form->State.WinRarFound);

  RegisterWinRar(L"");  // found, but empty: the box is emptied without a warning
  Click(pack.Button2);
  EXPECT_EQ(GetText(pack.Edit1), L"");
  EXPECT_EQ(dialogs.asked.size(), 1u);

  dialogs.fileAnswers.push_back({L"E:\\Other\\WinRAR.exe"});
  Click(pack.Button1);
  EXPECT_EQ(GetText(pack.Edit1), L"E:\\Other\\WinRAR.exe");
}

TEST_F(DesignerWindowTest, TextPageUseBoxLeavesTheFontButtonToTheFormatButtons) {
  for (TextPage* page :
       {static_cast<TextPage*>(&form->Frame41), static_cast<TextPage*>(&form->Frame51)}) {
    TextPage& text = *page;
    EXPECT_FALSE(Enabled(text.Button1));
    EXPECT_FALSE(Enabled(text.Button2));
    EXPECT_EQ(text.BoxColor(text.RichEdit1), FaceColor());
    Click(text.CheckBox1);
    for (HWND control :
         {text.RichEdit1, text.Memo1, text.Button1, text.RadioButton1, text.RadioButton2})
      EXPECT_TRUE(Enabled(control));
    EXPECT_FALSE(Enabled(text.Button2));
    EXPECT_EQ(text.BoxColor(text.RichEdit1), WindowColor());
    EXPECT_EQ(text.BoxColor(text.Memo1), WindowColor());

    Click(text.RadioButton2);  // TXT: the plain box shows, the font can be changed
    EXPECT_TRUE(Shown(text.Memo1));
    EXPECT_FALSE(Shown(text.RichEdit1));
    EXPECT_TRUE(Enabled(text.Button2));

    Click(text.CheckBox1);  // cleared: the font button keeps its state
    EXPECT_TRUE(Enabled(text.Button2));
    EXPECT_FALSE(Enabled(text.Memo1));
    EXPECT_EQ(text.BoxColor(text.Memo1), FaceColor());

    text.RadioButton1Click();
    EXPECT_FALSE(Enabled(text.Button2));
    EXPECT_TRUE(Shown(text.RichEdit1));
  }
  // The Information box starts disabled, the License box enabled (both read-only).
  TForm1 fresh(dialogs, shell, L"C:\\", false);
  fresh.Create(nullptr);
  EXPECT_FALSE(Enabled(fresh.Frame41.RichEdit1));
  EXPECT_TRUE(Enabled(fresh.Frame51.RichEdit1));
}

TEST_F(DesignerWindowTest, TextPagesLoadFilesAndKeepTheChosenFont) {
  TFrame4& info = form->Frame41;
  TempDir dir;
  WriteTextFile(
      dir / L"info.rtf",
      "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}\\f0\\fs20 "
      "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2, \\b \\'ec\\'e8\\'f0\\b0 !\\par}");
  WriteTextFile(dir / L"info.txt", "\xcf\xe5\xf0\xe2\xe0\xff\r\n\xc2\xf2\xee\xf0\xe0\xff\r\n");
  info.SetBox(info.CheckBox1, true);
  dialogs.fileAnswers.push_back({dir / L"info.rtf"});
  Click(info.Button1);
  EXPECT_EQ(GetRichPlainText(info.RichEdit1), L"Привет, мир!");
  SetupProject stored = form->StoreProject();
  EXPECT_EQ(stored.ReadMeRtf.rfind("{\\rtf", 0), 0u);
  EXPECT_NE(stored.ReadMeRtf.find("\\b"), std::string::npos);

  // A file that cannot be opened raises the toolkit's message; the box keeps its text.
  dialogs.fileAnswers.push_back({dir / L"missing.rtf"});
  EXPECT_THROW(info.Button1Click(), KovrinError);
  EXPECT_EQ(GetRichPlainText(info.RichEdit1), L"Привет, мир!");

  Click(info.RadioButton2);
  dialogs.fileAnswers.push_back({dir / L"info.txt"});
  Click(info.Button1);
  FontChoice chosen;
  chosen.Name = L"Courier New";
  chosen.Size = 12;
  chosen.Color = RGB(0, 0, 128);
  dialogs.fontAnswers.push_back(chosen);
  Click(info.Button2);
  stored = form->StoreProject();
  EXPECT_EQ(stored.ReadMeType, TextType::Txt);
  EXPECT_EQ(stored.ReadMeText, (std::vector<std::wstring>{L"Первая", L"Вторая"}));
  EXPECT_EQ(stored.ReadMeFont.Name, L"Courier New");
  EXPECT_EQ(stored.ReadMeFont.Size, 12);
  EXPECT_EQ(stored.ReadMeFont.Color, static_cast<int32_t>(RGB(0, 0, 128)));
  // The rich text is kept beside the plain one.
  EXPECT_EQ(GetRichPlainText(info.RichEdit1), L"Привет, мир!");

  // What was stored loads back into a fresh window.
  TForm1 other(dialogs, shell, L"C:\\", false);
  other.Create(nullptr);
  other.LoadProject(stored);
  EXPECT_EQ(GetRichPlainText(other.Frame41.RichEdit1), L"Привет, мир!");
  EXPECT_EQ(other.StoreProject().ReadMeText, stored.ReadMeText);
  EXPECT_TRUE(Shown(other.Frame41.Memo1));
}

TEST_F(DesignerWindowTest, ExtendedPageExclusions) {
  TFrame7& ext = form->Frame71;
  EXPECT_FALSE(Enabled(ext.CheckBox2));
  EXPECT_EQ(ext.BoxColor(ext.Edit1), FaceColor());
  Click(ext.CheckBox3);
  Click(ext.CheckBox4);
  SetText(ext.Edit1, L"%InstallPath%\\app.exe");
  SetText(ext.Edit2, L"https://example.org");
  EXPECT_TRUE(Enabled(ext.Edit1));
  EXPECT_EQ(ext.BoxColor(ext.Edit2), WindowColor());

  Click(ext.CheckBox1);  // restart notice: clears both others, their boxes keep the texts
  EXPECT_FALSE(IsChecked(ext.CheckBox3));
  EXPECT_FALSE(IsChecked(ext.CheckBox4));
  EXPECT_FALSE(Enabled(ext.Edit1));
  EXPECT_FALSE(Enabled(ext.Edit2));
  EXPECT_EQ(ext.BoxColor(ext.Edit1), FaceColor());
  EXPECT_EQ(GetText(ext.Edit1), L"%InstallPath%\\app.exe");
  EXPECT_TRUE(Enabled(ext.CheckBox2));
  Click(ext.CheckBox2);
  EXPECT_TRUE(IsChecked(ext.CheckBox2));

  Click(ext.CheckBox3);  // run again: clears the restart box, which clears and disables the ask box
  EXPECT_FALSE(IsChecked(ext.CheckBox1));
  EXPECT_FALSE(IsChecked(ext.CheckBox2));
  EXPECT_FALSE(Enabled(ext.CheckBox2));
  EXPECT_TRUE(Enabled(ext.Edit1));

  SetupProject p = form->StoreProject();
  EXPECT_TRUE(p.UseRun);
  EXPECT_FALSE(p.UseReboot);
  EXPECT_FALSE(p.UseGoSite);
  EXPECT_EQ(p.SiteAddress, L"https://example.org");  // read whatever its box's state
}

TEST_F(DesignerWindowTest, ShortcutEditorMapsTokens) {
  TFrame6& links = form->Frame61;
  SetupProject project;
  project.Shortcuts.push_back(
      ShortcutEntry{L"App", L"%STARTMENU%", L"%InstallPath%\\a.exe", L"-x", L"%InstallPath%"});
  project.Shortcuts.push_back(ShortcutEntry{L"Sub", L"%StartMenu%\\Tools", L"b.exe", L"", L""});
  links.Load(project);

  int seenIndex = -1;
  bool freePathEnabled = true;
  WhenEditorShows([&](TForm2& editor) {
    seenIndex = static_cast<int>(SendMessageW(editor.ComboBox1, CB_GETCURSEL, 0, 0));
    freePathEnabled = IsWindowEnabled(editor.Edit1) != FALSE;
    EXPECT_EQ(GetText(editor.Handle()), L"Добавление ярлыка");
    EXPECT_EQ(GetText(editor.LabeledEdit4), L"-x");
    Click(editor.Button1);
  });
  links.Select(0);
  links.Frame61ListView1Click();
  ASSERT_TRUE(Enabled(links.Button2));
  Click(links.Button2);
  EXPECT_EQ(seenIndex, 1);
  EXPECT_FALSE(freePathEnabled);
  EXPECT_EQ(links.Rows()[0].ShortCutSavePath, L"%StartMenu%");
  EXPECT_EQ(links.Rows()[0].ShortCutParams, L"-x");

  bool windowColor = false;
  std::wstring freePath;
  WhenEditorShows([&](TForm2& editor) {
    seenIndex = static_cast<int>(SendMessageW(editor.ComboBox1, CB_GETCURSEL, 0, 0));
    freePathEnabled = IsWindowEnabled(editor.Edit1) != FALSE;
    windowColor = editor.FreePathWindowColor();
    freePath = GetText(editor.Edit1);
    Click(editor.Button2);  // Cancel: the row stays
  });
  links.Select(1);
  Click(links.Button2);
  EXPECT_EQ(seenIndex, 3);
  EXPECT_TRUE(freePathEnabled);
  EXPECT_TRUE(windowColor);
  EXPECT_EQ(freePath, L"%StartMenu%\\Tools");
  EXPECT_EQ(links.Rows()[1].ShortCutSavePath, L"%StartMenu%\\Tools");

  // Add: every box empty gives five empty texts; a free path left behind a token counts for
  // nothing.
  WhenEditorShows([&](TForm2& editor) {
    SendMessageW(editor.ComboBox1, CB_SETCURSEL, 3, 0);
    editor.ComboBox1Change();
    EXPECT_TRUE(IsWindowEnabled(editor.Edit1));
    SetText(editor.Edit1, L"D:\\Links");
    SendMessageW(editor.ComboBox1, CB_SETCURSEL, 2, 0);
    editor.ComboBox1Change();
    EXPECT_FALSE(editor.FreePathWindowColor());
    Click(editor.Button1);
  });
  Click(links.Button1);
  ASSERT_EQ(links.Rows().size(), 3u);
  EXPECT_EQ(links.Rows()[2].ShortCutSavePath, L"%AutoLoading%");
  EXPECT_EQ(links.Rows()[2].ShortCutName, L"");

  // Closing with the title-bar button keeps the entry, as "ОК" does.
  WhenEditorShows([&](TForm2& editor) { SendMessageW(editor.Handle(), WM_CLOSE, 0, 0); });
  Click(links.Button1);
  EXPECT_EQ(links.Rows().size(), 4u);
}

TEST_F(DesignerWindowTest, DeletingAShortcutAsksByName) {
  TFrame6& links = form->Frame61;
  SetupProject project;
  project.Shortcuts.push_back(ShortcutEntry{L"Моя программа", L"%Desktop%", L"a.exe", L"", L""});
  links.Load(project);
  links.Select(0);
  links.Frame61ListView1Click();

  dialogs.answers.push_back(IDNO);
  Click(links.Button3);
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].text, L"Вы действительно хотите удалить запись \"Моя программа\" ?");
  EXPECT_EQ(dialogs.asked[0].caption, L"Удаление");
  EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_YESNO | MB_ICONWARNING));
  EXPECT_EQ(links.Rows().size(), 1u);
  EXPECT_TRUE(Enabled(links.Button2));

  dialogs.answers.push_back(IDYES);
  Click(links.Button3);
  EXPECT_TRUE(links.Rows().empty());
  EXPECT_FALSE(Enabled(links.Button2));
  EXPECT_FALSE(Enabled(links.Button3));
  Click(links.Button3);  // nothing selected: no question
  EXPECT_EQ(dialogs.asked.size(), 2u);
}

TEST_F(DesignerWindowTest, ShortcutNameEditsInPlace) {
  TFrame6& links = form->Frame61;
  SetupProject project;
  project.Shortcuts.push_back(ShortcutEntry{L"Old", L"%Desktop%", L"a.exe", L"", L""});
  links.Load(project);
  EXPECT_TRUE(EndLabelEdit(links.Handle(), links.ListView1, 0, L"Новое имя"));
  EXPECT_FALSE(EndLabelEdit(links.Handle(), links.ListView1, 0,
                            nullptr));  // a cancelled edit changes nothing
  EXPECT_EQ(form->StoreProject().Shortcuts[0].ShortCutName, L"Новое имя");
  EXPECT_EQ(form->StoreProject().Shortcuts[0].ShortCutSavePath, L"%Desktop%");
}
