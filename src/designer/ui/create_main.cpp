#include "designer/ui/create_main.h"

#include <commctrl.h>

#include "designer/ExampleProject.h"
#include "designer/NewProductCode.h"
#include "designer/Product.h"
#include "designer/ui/create_install.h"
#include "designer/ui/main_menu.h"
#include "formats/UninstallEntry.h"
#include "support/Error.h"
#include "win/Application.h"
#include "win/Layout.h"

namespace {
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 599;
constexpr int kClientHeight = 353;
constexpr UINT_PTR kLinkSubclass = 0x4B4C;  // "KL"

enum ControlId { kListBoxId = 100, kLinkId = 101 };

const wchar_t* const kPageNames[] = {L"Главная",  L"Файлы",  L"Сжатие",       L"Информация",
                                     L"Лицензия", L"Ярлыки", L"Дополнительно"};
}  // namespace

TForm1::TForm1(Dialogs& dialogs, ShellActions& shell, std::wstring designerFolder, bool quitOnClose)
    : Context{dialogs, Hints, State},
      dialogs_(dialogs),
      shell_(shell),
      quitOnClose_(quitOnClose),
      pages_{&Frame11, &Frame21, &Frame31, &Frame41, &Frame51, &Frame61, &Frame71} {
  State.DesignerFolder = std::move(designerFolder);
  Context.edited = [this] { ProjectMayHaveChanged(); };
}

TForm1::~TForm1() {
  if (Label2 && IsWindow(Label2))
    RemoveWindowSubclass(Label2, &TForm1::LinkProc, kLinkSubclass);
}

void TForm1::Create(HWND applicationWindow) {
  SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle, true);
  POINT at = CentredOnScreen(size.cx, size.cy);
  CreateWindowInstance(L"KovrinMainWindow", kMainCaption, kStyle, kExStyle, at.x, at.y, size.cx,
                       size.cy, applicationWindow);
  CreateMenuBar();
  CreateControls();
  // The menu bar may wrap differently from what was planned: keep the client area exact.
  RECT client;
  GetClientRect(Handle(), &client);
  if (client.bottom != Scale(kClientHeight)) {
    RECT window;
    GetWindowRect(Handle(), &window);
    int height = window.bottom - window.top + Scale(kClientHeight) - client.bottom;
    POINT centred = CentredOnScreen(window.right - window.left, height);
    SetWindowPos(Handle(), nullptr, centred.x, centred.y, window.right - window.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The Compression page's own start-up step.
  Frame31.FillDetectedPath();
  // What "Новый проект" returns to, and what counts as unchanged before any file.
  startProject_ = StoreProject();
  savedProject_ = CurrentProject();
}

void TForm1::CreateMenuBar() {
  HMENU bar = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_MENU));
  if (!bar)
    throw KovrinError(L"The main menu is missing from the program's resources");
  SetMenu(Handle(), bar);  // destroyed with the window
  accelerators_ =
      LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
  if (!accelerators_)
    throw KovrinError(L"The keyboard shortcuts are missing from the program's resources");
}

void TForm1::CreateControls() {
  HWND self = Handle();
  // SS_NOTIFY: passing over the caption leaves the status bar as it is.
  Label1 = CreateChild(self, WC_STATICW, L"Этапы создания установки:", WS_VISIBLE | SS_NOTIFY, 8,
                       12, 169, 13);
  ListBox1 = CreateChild(self, WC_LISTBOXW, L"",
                         WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 8, 32, 169,
                         241, kListBoxId, WS_EX_CLIENTEDGE);
  for (const wchar_t* name : kPageNames)
    SendMessageW(ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  SendMessageW(ListBox1, LB_SETITEMHEIGHT, 0, Scale(13));
  Hints.Attach(Label1, std::nullopt);
  Hints.Attach(ListBox1, L"Этапы создания установки продукта. Выберите нужный пункт из списка.");

  Label2 = CreateChild(self, WC_STATICW, kMakerNotice, WS_VISIBLE | SS_NOTIFY, 384, 12, 207, 13,
                       kLinkId);
  Hints.Attach(Label2, L"Зайти на сайт программы");
  SetWindowSubclass(Label2, &TForm1::LinkProc, kLinkSubclass, reinterpret_cast<DWORD_PTR>(this));

  StatusBar1 = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, self,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(StatusBar1, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
  SendMessageW(StatusBar1, SB_SETMINHEIGHT, Scale(19), 0);
  int parts[] = {-1};
  SendMessageW(StatusBar1, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
  SendMessageW(StatusBar1, WM_SIZE, 0, 0);
  Hints.SetStatusBar(StatusBar1);

  for (Page* page : pages_) page->Create(self, 192, 34, 400, 300);

  CurrentPage = 0;
  SendMessageW(ListBox1, LB_SETCURSEL, 0, 0);
  Frame11.Show(true);
}

void TForm1::ListBox1Click() {
  LRESULT selected = SendMessageW(ListBox1, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR || selected == CurrentPage)
    return;
  HideAllPages();
  ShowPage(static_cast<int>(selected));
}

void TForm1::HideAllPages() {
  for (Page* page : pages_) page->Show(false);
}

void TForm1::ShowPage(int index) {
  CurrentPage = index;
  if (index >= 0 && index < static_cast<int>(pages_.size()))
    pages_[static_cast<size_t>(index)]->Show(true);
}

SetupProject TForm1::StoreProject() const {
  SetupProject project;
  for (const Page* page : pages_) page->Store(project);
  project.SignCommand = signCommand_;
  project.ProductCode = productCode_;
  return project;
}

void TForm1::LoadProject(const SetupProject& project) {
  for (Page* page : pages_) page->Load(project);
  signCommand_ = project.SignCommand;
  productCode_ = project.ProductCode;
}

void TForm1::EnsureProductCode() {
  if (productCode_.empty())
    productCode_ = NewProductCode();
}

void TForm1::N2Click() {
  SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TForm1::N4Click() {
  try {
    EnsureProductCode();
  } catch (const KovrinError&) {
    ReportCurrentError(L"build.error");
    return;
  }
  SetupProject project = StoreProject();
  // A name the uninstall entry cannot carry is the Main page's to fix: say so
  // there, before the build dialog opens.
  if (const std::wstring problem = ProgramNameProblem(project.ProgramName); !problem.empty()) {
    dialogs_.Ask(L"designer.program_name", problem, kMainCaption, MB_OK | MB_ICONSTOP);
    HideAllPages();
    SendMessageW(ListBox1, LB_SETCURSEL, 0, 0);
    ShowPage(0);
    SetFocus(Frame11.LabeledEdit1);
    return;
  }
  ShowBuildDialog(Handle(), project, State.DesignerFolder, dialogs_);
  // The build may sort the rows and measure their sizes: show the list it used.
  Frame21.Load(project);
  ProjectMayHaveChanged();
}

void TForm1::N6Click() {
  shell_.Open(State.DesignerFolder + kHelpFile, kHelpAnchor, L"", SW_SHOWMAXIMIZED);
}

void TForm1::N8Click() {
  dialogs_.Ask(L"designer.about", std::wstring(kProductLine) + L"\n\n" + kMakerNotice,
               L"О программе...", MB_OK | MB_ICONINFORMATION);
}

// Appends again on every run; the Files page's labels are left as they were.
void TForm1::N10Click() {
  ExampleProject example = MakeExampleProject(State.DesignerFolder);
  SetText(Frame11.LabeledEdit1, example.ProgramName);
  SetText(Frame11.LabeledEdit2, example.CompanyName);
  SetText(Frame11.LabeledEdit3, example.InstallPath);
  SetText(Frame11.LabeledEdit4, example.SetupFileName);
  SetText(Frame11.LabeledEdit5, example.OutputFolder);
  Frame21.AppendRows(example.Files);
  Frame31.SetBox(Frame31.CheckBox1, true);
  Frame31.SelectMethod(example.CompressionLevel);
  Frame41.SetBox(Frame41.CheckBox1, true);
  Frame41.AppendRichLine(example.ReadMeRtfLine);
  Frame41.AppendPlainLine(example.ReadMeTextLine);
  Frame51.SetBox(Frame51.CheckBox1, true);
  Frame51.AppendRichLine(example.LicenseRtfLine);
  Frame51.AppendPlainLine(example.LicenseTextLine);
  Frame61.AppendRow(example.Shortcut);
  Frame71.SetBox(Frame71.CheckBox3, true);
  SetText(Frame71.Edit1, example.RunFileName);
  Frame71.SetBox(Frame71.CheckBox4, true);
  SetText(Frame71.Edit2, example.SiteAddress);
  ProjectMayHaveChanged();
}

void TForm1::Label2Click() {
  shell_.Open(kMakerSite, L"", L"", SW_SHOWMAXIMIZED);
}

void TForm1::SetLinkHot(bool hot) {
  if (linkHot_ == hot)
    return;
  linkHot_ = hot;
  if (hot) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Label2, 0};
    TrackMouseEvent(&track);
  }
  InvalidateRect(Label2, nullptr, TRUE);
}

LRESULT CALLBACK TForm1::LinkProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<TForm1*>(data);
  switch (message) {
    case WM_MOUSEMOVE:
      self->SetLinkHot(true);  // Label2MouseEnter
      break;
    case WM_MOUSELEAVE:
      self->SetLinkHot(false);  // Label2MouseLeave
      break;
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, self->linkHot_ ? IDC_HAND : IDC_ARROW));
      return TRUE;
    case WM_NCDESTROY:
      RemoveWindowSubclass(control, &TForm1::LinkProc, kLinkSubclass);
      break;
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      int code = HIWORD(wParam);
      if (lParam == 0) {
        switch (id) {
          case IDM_N2:
            N2Click();
            break;
          case IDM_N4:
            N4Click();
            break;
          case IDM_N6:
            N6Click();
            break;
          case IDM_N8:
            N8Click();
            break;
          case IDM_N10:
            N10Click();
            break;
          case IDM_NEW_PROJECT:
            NewProjectClick();
            break;
          case IDM_OPEN_PROJECT:
            OpenProjectClick();
            break;
          case IDM_SAVE_PROJECT:
            SaveProjectClick();
            break;
          case IDM_SAVE_PROJECT_AS:
            SaveProjectAsClick();
            break;
        }
      } else if (id == kListBoxId && code == LBN_SELCHANGE) {
        ListBox1Click();
      } else if (id == kLinkId && code == STN_CLICKED) {
        Label2Click();
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      Hints.Show(L"");
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == Label2) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, linkHot_ ? RGB(0, 0, 255) : RGB(0, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_SIZE:
      if (StatusBar1)
        SendMessageW(StatusBar1, WM_SIZE, 0, 0);
      break;
    case WM_CLOSE:  // "Выход" and the frame's close button
      if (MayDiscardChanges(true))
        DestroyWindow(Handle());
      return 0;
    case kUpdateTitle:
      UpdateTitle();
      return 0;
    case WM_DESTROY:
      if (quitOnClose_)
        PostQuitMessage(0);
      return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}
