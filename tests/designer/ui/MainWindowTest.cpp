#include "DesignerWindowFixture.h"
#include "ProjectFileChecks.h"
#include "designer/Product.h"
#include "designer/ui/main_menu.h"
#include "designer/ui/program_start.h"
#include "formats/UninstallEntry.h"
#include "support/Environment.h"
#include "win/RichTextBox.h"

TEST_F(DesignerWindowTest, WindowFrameCaptionAndClientArea) {
  EXPECT_EQ(GetText(form->Handle()), L"Kovrin 1.4.1");
  RECT client;
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, Scale(599));
  EXPECT_EQ(client.bottom, Scale(353));
  LONG style = GetWindowLongW(form->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_EQ(SendMessageW(form->ListBox1, LB_GETCOUNT, 0, 0), 7);
}

namespace {
std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[64] = L"";
  GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
  return text;
}
}  // namespace

// The bar comes from the program's resources; designer_to_uninstall.sh chooses
// "Заполнить примером", "Запуск" and "Выход" there by their texts.
TEST_F(DesignerWindowTest, MenuBarFromTheResourcesDrivesTheCommands) {
  HMENU bar = GetMenu(form->Handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(MenuText(bar, 0), L"Файл");
  EXPECT_EQ(MenuText(bar, 1), L"Проект");
  EXPECT_EQ(MenuText(bar, 2), L"Справка");
  HMENU project = GetSubMenu(bar, 1);
  ASSERT_EQ(GetMenuItemCount(project), 3);
  EXPECT_EQ(GetMenuItemID(project, 0), static_cast<UINT>(IDM_N4));
  EXPECT_EQ(GetMenuState(project, 1, MF_BYPOSITION) & MF_SEPARATOR,
            static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(GetMenuItemID(project, 2), static_cast<UINT>(IDM_N10));
  HMENU help = GetSubMenu(bar, 2);
  EXPECT_EQ(MenuText(help, 0), L"Вызов справки");
  EXPECT_EQ(MenuText(help, 2), L"О программе...");

  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(GetMenuItemID(project, 2), 0), 0);
  EXPECT_EQ(form->StoreProject().ProgramName, L"Kovrin");
}

TEST_F(DesignerWindowTest, PageListSwitchesPagesAndIgnoresTheShownOne) {
  EXPECT_EQ(form->CurrentPage, 0);
  EXPECT_TRUE(form->Frame11.Visible());
  for (int i = 1; i < 7; ++i) EXPECT_FALSE(form->PageAt(i).Visible()) << i;

  for (int target : {3, 6, 1, 0}) {
    SendMessageW(form->ListBox1, LB_SETCURSEL, target, 0);
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(100, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(form->ListBox1));
    EXPECT_EQ(form->CurrentPage, target);
    for (int i = 0; i < 7; ++i)
      EXPECT_EQ(form->PageAt(i).Visible(), i == target) << "page " << i << " after " << target;
  }

  // The entry already shown: nothing happens, even if the page was hidden meanwhile.
  form->HideAllPages();
  form->ListBox1Click();
  EXPECT_FALSE(form->Frame11.Visible());
  form->ShowPage(9);  // out of range: shows nothing
  EXPECT_EQ(form->CurrentPage, 9);
  for (int i = 0; i < 7; ++i) EXPECT_FALSE(form->PageAt(i).Visible());
}

TEST_F(DesignerWindowTest, EveryHintOfTheTable) {
  TForm1& f = *form;
  const std::pair<HWND, const wchar_t*> table[] = {
      {f.ListBox1, L"Этапы создания установки продукта. Выберите нужный пункт из списка."},
      {f.Label2, L"Зайти на сайт программы"},
      {f.Frame11.LabeledEdit1, L"Название вашего продукта вместе с версией. (%ProductName%)"},
      {f.Frame11.LabeledEdit2, L"Название вашей компании. (%CompanyName%)"},
      {f.Frame11.LabeledEdit3,
       L"Путь по умолчанию, куда будет установлен продукт. (%InstallPath%)"},
      {f.Frame11.LabeledEdit4, L"Имя файла, который будет запускать установку."},
      {f.Frame11.LabeledEdit5, L"Имя папки, куда будей записана установочная программа."},
      {f.Frame11.LabeledEdit6, L"Версия вашего продукта для списка установленных программ."},
      {f.Frame21.Button1, L"Добавить несколько файлов из одной папки"},
      {f.Frame21.Button2, L"Добавить все вложенные файлы и папки, начиная с выбранной"},
      {f.Frame21.Button3, L"Удалить из списка все выделеные файлы"},
      {f.Frame21.Button4, L"Полностью очистить список файлов"},
      {f.Frame21.Label1, L"Количество файлов для установки"},
      {f.Frame21.Label2, L"Общий размер всех файлов в списке"},
      {f.Frame21.ListView1, L"Список файлов для установки"},
      {f.Frame31.CheckBox1,
       L"Использовать сжатие с помошью внешней программы WinRAR, если она есть на компьютере"},
      {f.Frame31.Label2, L"Путь к WinRAR.exe"},
      {f.Frame31.Edit1, L"Путь к WinRAR.exe"},
      {f.Frame31.Button1, L"Указать путь к файлу WinRAR.exe"},
      {f.Frame31.Button2, L"Автоматически найти путь к WinRAR, если он установлен на компьютере"},
      {f.Frame31.Label1, L"Выберите метод сжатия WinRAR"},
      {f.Frame31.CheckBox3,
       L"Упаковать установку в одну программу встроенным упаковщиком LZMA, без внешних программ"},
      {f.Frame41.CheckBox1, L"Использовать окно информации о программе"},
      {f.Frame41.RichEdit1, L"Текст информации в формате RTF"},
      {f.Frame41.Memo1, L"Текст информации в формате TXT"},
      {f.Frame41.RadioButton1, L"Использовать формат RTF"},
      {f.Frame41.RadioButton2, L"Использовать формат TXT"},
      {f.Frame41.Button1, L"Загрузить текст из файла RTF или TXT"},
      {f.Frame41.Button2, L"Изменить шрифт для файла TXT"},
      {f.Frame51.CheckBox1, L"Использовать окно лицензии к программе"},
      {f.Frame51.RichEdit1, L"Текст лицензии в формате RTF"},
      {f.Frame51.Memo1, L"Текст лицензии в формате TXT"},
      {f.Frame51.RadioButton1, L"Использовать формат RTF"},
      {f.Frame51.RadioButton2, L"Использовать формат TXT"},
      {f.Frame51.Button1, L"Загрузить текст из файла RTF или TXT"},
      {f.Frame51.Button2, L"Изменить шрифт для файла TXT"},
      {f.Frame61.Button1, L"Добавить ярлык в список"},
      {f.Frame61.Button2, L"Редактировать параметры выделеного ярлыка"},
      {f.Frame61.Button3, L"Удалить выделеный ярлык"},
      {f.Frame61.ListView1, L"Список ярлыков"},
      {f.Frame71.CheckBox1, L"Выводить надпись \"Перезагрузить компьютер\" после установки"},
      {f.Frame71.CheckBox2,
       L"Выводить запрос \"Перезагрузить компьютер ?\" после нажатия на кнопку \"Готово\""},
      {f.Frame71.CheckBox3, L"Выводить надпись \"Запустить программу\" после установки"},
      {f.Frame71.CheckBox4, L"Выводить надпись \"Зайти на сайт\" после установки"},
      {f.Frame71.Edit1, L"Путь к запускаемой программе"},
      {f.Frame71.Edit2, L"URL-адрес сайта"},
      {f.Frame71.CheckBox5, L"Создавать деинсталятор для возможности быстрого удаления продукта"},
  };
  for (const auto& [control, hint] : table) {
    ASSERT_NE(control, nullptr) << Narrow(hint);
    EXPECT_EQ(HintOver(control), hint);
    // A page's background, or the window's, empties the bar.
    SendMessageW(GetParent(control), WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(f.StatusText(), L"") << Narrow(hint);
  }
}

TEST_F(DesignerWindowTest, ControlsWithoutAHintLeaveTheBarAlone) {
  HintOver(form->Frame21.Button1);
  const std::wstring kept = L"Добавить несколько файлов из одной папки";
  HWND quiet[] = {form->Label1, form->Frame31.ComboBox1, form->Frame31.CheckBox2, form->StatusBar1};
  for (HWND control : quiet) EXPECT_EQ(HintOver(control), kept);
  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(form->StatusText(), L"");
}

TEST_F(DesignerWindowTest, HelpAboutAndTheLink) {
  form->N6Click();
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].file, L"C:\\Kovrin\\help.html");
  EXPECT_EQ(shell.opened[0].parameters, L"#m1");
  EXPECT_EQ(shell.opened[0].folder, L"");
  EXPECT_EQ(shell.opened[0].show, SW_SHOWMAXIMIZED);

  form->N8Click();
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].caption, L"О программе...");
  EXPECT_EQ(dialogs.asked[0].text, L"Morvel Kovrin 1.4 First Release\n\n© Morvel Labs");
  EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(GetText(form->Label2), kMakerNotice);

  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(101, STN_CLICKED),
               reinterpret_cast<LPARAM>(form->Label2));
  ASSERT_EQ(shell.opened.size(), 2u);
  EXPECT_EQ(shell.opened[1].file, kMakerSite);
  EXPECT_EQ(shell.opened[1].show, SW_SHOWMAXIMIZED);

  EXPECT_FALSE(form->LinkHot());
  SendMessageW(form->Label2, WM_MOUSEMOVE, 0, 0);
  EXPECT_TRUE(form->LinkHot());
  SendMessageW(form->Label2, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(form->LinkHot());
}

// The controls start from a default project and give it back unchanged, but for
// the empty text boxes' own RTF.
TEST_F(DesignerWindowTest, StartsWithTheProjectDefaults) {
  const SetupProject stored = form->StoreProject();
  SetupProject expected;
  expected.ReadMeRtf = stored.ReadMeRtf;
  expected.LicenseRtf = stored.LicenseRtf;
  ExpectSameProject(stored, expected);
  EXPECT_EQ(GetText(form->Frame21.Label1), L"Всего файлов: 0");
  EXPECT_EQ(GetText(form->Frame21.Label2), L"Общий размер: 0 байт");
}

namespace {
HWND NextTabStop(HWND control) {
  for (HWND next = GetWindow(control, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
    if (GetWindowLongW(next, GWL_STYLE) & WS_TABSTOP)
      return next;
  return nullptr;
}
}  // namespace

// "Версия продукта:" under the output folder, as wide, next in the tab order,
// and the project's ProductVersion both ways.
TEST_F(DesignerWindowTest, ProductVersionBoxSitsUnderTheOutputFolderAndCarriesTheVersion) {
  TFrame1& page = form->Frame11;
  RECT version, output;
  GetWindowRect(page.LabeledEdit6, &version);
  GetWindowRect(page.LabeledEdit5, &output);
  EXPECT_EQ(version.left, output.left);
  EXPECT_EQ(version.right - version.left, output.right - output.left);
  EXPECT_EQ(version.top - output.top, Scale(256) - Scale(208));
  EXPECT_EQ(NextTabStop(page.LabeledEdit5), page.LabeledEdit6);
  EXPECT_EQ(NextTabStop(page.LabeledEdit6), page.LabeledEdit3);
  bool captionFound = false;
  for (HWND child = GetWindow(page.Handle(), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT))
    captionFound |= GetText(child) == L"Версия продукта:";
  EXPECT_TRUE(captionFound);

  EXPECT_EQ(form->StoreProject().ProductVersion, L"");
  SetText(page.LabeledEdit6, L"2.0 бета");
  EXPECT_EQ(form->StoreProject().ProductVersion, L"2.0 бета");
  SetupProject project;
  project.ProductVersion = L"3.1";
  page.Load(project);
  EXPECT_EQ(GetText(page.LabeledEdit6), L"3.1");
}

TEST_F(DesignerWindowTest, ExampleFillTwiceAppendsAndLeavesTheLabels) {
  form->N10Click();
  form->N10Click();
  SetupProject p = form->StoreProject();
  EXPECT_EQ(p.ProgramName, L"Kovrin");
  EXPECT_EQ(p.CompanyName, L"Morvel Labs");
  EXPECT_EQ(p.InstallPath, L"%ProgramFiles%\\%CompanyName%");
  EXPECT_EQ(p.SetupFileName, L"Setup.exe");
  std::wstring homeDrive = GetEnvVar(L"HOMEDRIVE");
  EXPECT_EQ(p.OutputFolder,
            homeDrive.empty() ? L"%homedrive%\\MySetup\\" : homeDrive + L"\\MySetup\\");

  ASSERT_EQ(p.Files.size(), 8u);
  const wchar_t* names[] = {L"Kovrin.exe", L"Kovrin.dat", L"Setup.ico", L"help.html"};
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(p.Files[i].RelativeName, names[i % 4]);
    EXPECT_EQ(p.Files[i].LocalFolder, L"C:\\Kovrin\\");
    EXPECT_EQ(p.Files[i].Size, 0);
  }
  EXPECT_EQ(GetText(form->Frame21.Label1), L"Всего файлов: 0");
  EXPECT_EQ(GetText(form->Frame21.Label2), L"Общий размер: 0 байт");

  EXPECT_TRUE(p.UseWinRar);
  EXPECT_TRUE(Enabled(form->Frame31.ComboBox1));
  EXPECT_EQ(p.CompressionLevel, 5);
  EXPECT_TRUE(p.UseReadMe);
  EXPECT_TRUE(p.UseLicense);
  EXPECT_EQ(p.ReadMeType, TextType::Rtf);
  EXPECT_EQ(p.ReadMeText, (std::vector<std::wstring>{L"Текст информации в формате TXT",
                                                     L"Текст информации в формате TXT"}));
  EXPECT_EQ(p.LicenseText, (std::vector<std::wstring>{L"Текст лицензии в формате TXT",
                                                      L"Текст лицензии в формате TXT"}));
  EXPECT_EQ(GetRichPlainText(form->Frame41.RichEdit1),
            L"Текст информации в формате RTF\r\nТекст информации в формате RTF");
  EXPECT_EQ(GetRichPlainText(form->Frame51.RichEdit1),
            L"Текст лицензии в формате RTF\r\nТекст лицензии в формате RTF");
  EXPECT_NE(p.ReadMeRtf.find("{\\rtf"), std::string::npos);

  ASSERT_EQ(p.Shortcuts.size(), 2u);
  for (const ShortcutEntry& s : p.Shortcuts) {
    EXPECT_EQ(s.ShortCutName, L"Kovrin");
    EXPECT_EQ(s.ShortCutSavePath, L"%Desktop%");
    EXPECT_EQ(s.ShortCutFileName, L"%InstallPath%\\Kovrin.exe");
    EXPECT_EQ(s.ShortCutParams, L"");
    EXPECT_EQ(s.ShortCutFilePath, L"%InstallPath%");
  }
  EXPECT_FALSE(Enabled(form->Frame61.Button2));  // the buttons are not touched

  EXPECT_TRUE(p.UseRun);
  EXPECT_TRUE(p.UseGoSite);
  EXPECT_FALSE(p.UseReboot);
  EXPECT_EQ(p.RunFileName, L"%InstallPath%\\Kovrin.exe");
  EXPECT_EQ(p.SiteAddress, kMakerSite);
  EXPECT_EQ(form->Frame71.BoxColor(form->Frame71.Edit1), WindowColor());
}

TEST_F(DesignerWindowTest, RunBuildsTheProjectAndReloadsTheFileList) {
  // A designer folder that really holds the example's files and the launcher image.
  TempDir folder;
  form->State.DesignerFolder = folder.Path() + L"\\";
  for (const wchar_t* name : {L"Kovrin.exe", L"Kovrin.dat", L"Setup.ico", L"help.html"})
    WriteTextFile(folder / name, "example file");
  form->N10Click();
  SetText(form->Frame11.LabeledEdit5, folder / L"out");
  form->Frame31.SetBox(form->Frame31.CheckBox1, false);
  form->N4Click();
  ASSERT_FALSE(dialogs.asked.empty());
  EXPECT_EQ(dialogs.asked.back().text, L"Установочная программа создана.");
  // The reloaded list sets the labels: the example rows now count, with the sizes the build
  // measured.
  EXPECT_EQ(GetText(form->Frame21.Label1), L"Всего файлов: 4");
  EXPECT_EQ(form->StoreProject().Files.size(), 4u);
  EXPECT_EQ(form->StoreProject().Files[0].Size, 12);
}

TEST_F(DesignerWindowTest, RunRefusesAProgramNameTheUninstallEntryCannotCarry) {
  form->N10Click();
  for (const wchar_t* name : {L"Программа \"Учёт\"", L"Отдел\\Учёт"}) {
    SetText(form->Frame11.LabeledEdit1, name);
    SendMessageW(form->ListBox1, LB_SETCURSEL, 5, 0);
    form->ListBox1Click();
    ASSERT_EQ(form->CurrentPage, 5);
    dialogs.asked.clear();
    form->N4Click();
    ASSERT_EQ(dialogs.asked.size(), 1u) << Narrow(name);
    EXPECT_EQ(dialogs.asked[0].id, L"designer.program_name");
    EXPECT_EQ(dialogs.asked[0].text, ProgramNameProblem(name));
    EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(form->CurrentPage, 0) << "the Main page, where the name is typed, is shown";
    EXPECT_EQ(GetFocus(), form->Frame11.LabeledEdit1);
  }
}

TEST(ProgramStart, ScreenWidthQuestion) {
  ScriptedDialogs dialogs;
  EXPECT_TRUE(ScreenAccepted(dialogs, 800));  // exactly 800: no question
  EXPECT_TRUE(dialogs.asked.empty());
  dialogs.answers.push_back(IDNO);
  EXPECT_FALSE(ScreenAccepted(dialogs, 799));
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].text,
            L"Разрешение экрана меньше 800x600. Продолжить выполнение программы?");
  EXPECT_EQ(dialogs.asked[0].caption, L"Проверка");
  EXPECT_EQ(dialogs.asked[0].style, static_cast<unsigned>(MB_YESNO | MB_ICONWARNING));
  dialogs.answers.push_back(IDYES);
  EXPECT_TRUE(ScreenAccepted(dialogs, 640));
}

// The question's text and caption, and the end whatever the answer, are run for
// real by designer_second_instance.sh; here: what each answer does to the first.
TEST(ProgramStart, SecondInstanceEndsWhateverTheAnswer) {
  ScriptedDialogs dialogs;
  EXPECT_TRUE(NoOtherInstance(dialogs, nullptr));
  EXPECT_TRUE(dialogs.asked.empty());
  HWND other = CreateWindowExW(0, L"STATIC", L"Morvel Kovrin 1.4.1", WS_POPUP, 0, 0, 10, 10,
                               nullptr, nullptr, nullptr, nullptr);
  dialogs.answers.push_back(IDNO);
  EXPECT_FALSE(NoOtherInstance(dialogs, other));
  EXPECT_FALSE(IsWindowVisible(other));  // No: left as it was
  dialogs.answers.push_back(IDYES);
  EXPECT_FALSE(NoOtherInstance(dialogs, other));
  EXPECT_TRUE(IsWindowVisible(other));  // Yes: restored
  EXPECT_EQ(dialogs.asked.size(), 2u);
  DestroyWindow(other);
}
