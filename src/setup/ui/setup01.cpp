#include "setup/ui/setup01.h"

#include <commctrl.h>

#include "setup/ExitCodes.h"
#include "setup/FileInUse.h"
#include "setup/FinishActions.h"
#include "setup/SetupVariables.h"
#include "setup/UpgradeCheck.h"
#include "support/Environment.h"
#include "support/Error.h"
#include "win/Application.h"
#include "win/Layout.h"
#include "win/MessagePump.h"

namespace {
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kClientWidth = 536, kClientHeight = 341;
constexpr int kHeaderWidth = 537, kHeaderHeight = 49;
constexpr wchar_t kHeaderPrefix[] = L"Установка программы: ";
constexpr wchar_t kBrowseTitle[] = L"Выберите папку для установки";

// Control identifiers, so that other programs can find the controls.
enum ControlId { kListBox1 = 101, kButton1, kButton2 };

void SetBar(HWND bar, int position) {
  SendMessageW(bar, PBM_SETPOS, position, 0);
}

// A share of kNoShare leaves its bar where it is.
void SetBarShare(HWND bar, int permille) {
  if (permille != kNoShare)
    SetBar(bar, permille);
}
}  // namespace

TForm1::TForm1(std::wstring packageFolder, const SetupServices& services) : services_(services) {
  state_.PackageFolder = std::move(packageFolder);
}

void TForm1::Create() {
  const SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kWindowStyle, 0, false);
  const POINT at = CentredOnScreen(size.cx, size.cy);
  CreateWindowInstance(kSetupWindowClass, kSetupWindowCaption, kWindowStyle, WS_EX_CONTROLPARENT,
                       at.x, at.y, size.cx, size.cy, nullptr);
  if (!Handle())
    ThrowLastError(L"Cannot create the setup window");
  if (services_.endsProgram)
    SetApplicationWindow(Handle());
  CreateControls();
  FormCreate();
}

void TForm1::CreateControls() {
  HWND form = Handle();
  Label1 = CreateFittedLabel(form, L"", 16, 16, UiBoldFont());
  CreateChild(form, L"STATIC", L"", WS_VISIBLE | SS_ETCHEDHORZ, 0, 48, 537, 3);
  Label2 = CreateFittedLabel(form, L"Этапы установки:", 16, 56);
  // The wide pages lie over the label and the list: neither may paint over them.
  SetWindowLongW(Label2, GWL_STYLE, GetWindowLongW(Label2, GWL_STYLE) | WS_CLIPSIBLINGS);
  ListBox1 = CreateChild(form, L"LISTBOX", L"",
                         WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_CLIPSIBLINGS |
                             LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                         8, 76, 153, 215, kListBox1);
  SendMessageW(ListBox1, LB_SETITEMHEIGHT, 0, Scale(13));
  CreateChild(form, L"STATIC", L"", WS_VISIBLE | SS_ETCHEDHORZ, 0, 304, 537, 3);
  Button1 = CreateChild(form, L"BUTTON", L"Отмена", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 360,
                        312, 75, 25, kButton1);
  Button2 = CreateChild(form, L"BUTTON", L"Установить", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                        448, 312, 75, 25, kButton2);
  Frame11.Create(form);
  Frame21.Create(form);
  Frame31.Create(form);
  Frame41.Create(form);
  Frame51.Create(form);
  Frame61.Create(form);
  Frame71.Create(form);
}

void TForm1::FormCreate() {
  state_.Installed = false;
  state_.CurrentPage = 0;
  SendMessageW(ListBox1, LB_RESETCONTENT, 0, 0);
  SendMessageW(ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kPageCharacteristics));
  HideAllPages();
  ShowPage(0);
  SendMessageW(ListBox1, LB_SETCURSEL, 0, 0);
  if (Status read = ReadSetupScript(state_); !read)
    return ReportError(L"setup.error", read.Error().Message());
  const std::vector<std::wstring> pages = BuildPageList(state_);
  for (size_t i = 1; i < pages.size(); ++i)
    SendMessageW(ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pages[i].c_str()));
  if (Status filled = FillPages(); !filled)
    return ReportError(L"setup.error", filled.Error().Message());
  SetTextFitted(Label1, kHeaderPrefix + state_.ProgramName);
  CheckInstalledProduct();
}

void TForm1::CheckInstalledProduct() {
  const Expected<std::optional<InstalledProduct>> installed =
      CheckUpgrade(state_, services_.allowDowngrade);
  if (installed) {
    if (*installed)
      SetText(Frame41.Edit1, (*installed)->InstallLocation);  // the free-space line follows
    return;
  }
  const Failure& failure = installed.Error();
  if (!failure.Is(FailureKind::Refused))
    return ReportError(L"setup.error", failure.Message());
  refusalCode_ = failure.Code();
  EnableWindow(Button2, FALSE);
  if (services_.log)
    services_.log->Failed(failure.Message(), refusalCode_);
  ReportError(refusalCode_ == kExitDowngrade ? L"setup.downgrade" : L"setup.other_product",
              failure.Message());
}

Status TForm1::FillPages() {
  Frame11.SetValue(TFrame1::kProductName, state_.ProgramName);
  Frame11.SetValue(TFrame1::kCompanyName, state_.CompanyName);
  Frame11.SetValue(TFrame1::kFileCount, std::to_wstring(state_.CountOfFiles));
  Frame11.SetValue(TFrame1::kTotalSize, ByteCountText(state_.SummarySize));
  if (Status extracted = ExtractTexts(state_); !extracted)
    return extracted;
  auto load = [](TextPage& page, const std::wstring& path, const ScriptTextInfo& text) {
    return text.IsRtf ? page.LoadRichText(path) : page.LoadPlainText(path, text);
  };
  if (state_.UseLicense)
    if (Status loaded = load(Frame21, LicenseTextPath(state_), state_.License); !loaded)
      return loaded;
  if (state_.UseReadMe)
    if (Status loaded = load(Frame31, ReadMeTextPath(state_), state_.ReadMe); !loaded)
      return loaded;
  SetText(Frame41.Edit1, ExpandSetupVariables(state_, state_.InstallPath));
  Frame41.SetProgramSize(ByteCountText(state_.SummarySize));
  ShowFreeSpace(GetText(Frame41.Edit1));
  return {};
}

void TForm1::HideAllPages() {
  Frame11.Show(false);
  Frame21.Show(false);
  Frame31.Show(false);
  Frame41.Show(false);
  Frame51.Show(false);
}

void TForm1::ShowPage(int position) {
  const LRESULT length = SendMessageW(ListBox1, LB_GETTEXTLEN, position, 0);
  if (length == LB_ERR)
    return;
  std::wstring name(static_cast<size_t>(length) + 1, L'\0');
  name.resize(static_cast<size_t>(
      SendMessageW(ListBox1, LB_GETTEXT, position, reinterpret_cast<LPARAM>(name.data()))));
  const struct {
    const wchar_t* name;
    Panel* page;
  } pages[] = {{kPageCharacteristics, &Frame11},
               {kPageLicense, &Frame21},
               {kPageInformation, &Frame31},
               {kPageInstallPath, &Frame41},
               {kPageShortcuts, &Frame51}};
  for (const auto& page : pages)
    if (name == page.name)
      page.page->Show(true);
}

void TForm1::ListBox1Click() {
  const int selected = static_cast<int>(SendMessageW(ListBox1, LB_GETCURSEL, 0, 0));
  if (selected == LB_ERR || selected == state_.CurrentPage)
    return;
  HideAllPages();
  state_.CurrentPage = selected;
  ShowPage(selected);
}

void TForm1::Frame41Edit1Change() {
  ShowFreeSpace(GetText(Frame41.Edit1));
}

void TForm1::ShowFreeSpace(const std::wstring& path) {
  Frame41.ShowFreeSpaceLine(DescribeFreeSpace(path, services_.drives));
}

void TForm1::Frame41Button1Click() {
  std::wstring folder;  // nothing preselected: the box's text is not passed in
  if (services_.dialogs.BrowseForFolder(Handle(), kBrowseTitle, PathVariables().Desktop, folder))
    SetText(Frame41.Edit1, folder);  // the change refreshes the free-space line
}

void TForm1::Button1Click() {
  if (state_.Installed) {
    const FinishChoices choices{IsChecked(Frame71.CheckBox2), IsChecked(Frame71.CheckBox1),
                                IsChecked(Frame71.CheckBox3)};
    RunFinishActions(state_, choices, services_.showCommand, services_.dialogs, services_.shell);
  }
  DestroyWindow(Handle());
}

void TForm1::Button2Click() {
  if (installStarted_)
    return;
  installStarted_ = true;
  const InstallChoices choices{GetText(Frame41.Edit1),       IsChecked(Frame51.CheckBox1),
                               IsChecked(Frame51.CheckBox2), IsChecked(Frame51.CheckBox3),
                               replaceInUseAtRestart_,       services_.allowDowngrade};
  pump_.emplace(Handle());
  ShownAndLoggedEvents events(*this, services_.log);
  const Status installed = RunInstall(state_, choices, events);
  if (!installed && installed.Error().Is(FailureKind::Stopped)) {
    // The user closed the window and chose to stop: it closes once the install
    // has taken back what it made, telling only of what it could not.
    pump_.reset();
    if (!state_.LeftBehind.empty())
      ReportError(L"setup.error", installed.Error().Message());
    DestroyWindow(Handle());
    return;
  }
  if (!installed) {
    ShowInstallStopped();
    // After "Отмена" to the question that named a file in use, only what could
    // not be taken back is worth a box.
    if (!installed.Error().Is(FailureKind::FileInUse) || !state_.LeftBehind.empty())
      ReportError(L"setup.error", installed.Error().Message());
  }
  abortAsked_ = false;
  pump_.reset();
}

void TForm1::ShowInstallStopped() {
  ResetCopyPage(kInstallStopped);
  EnableWindow(Button1, TRUE);  // "Отмена" closes the window
}

void TForm1::ResetCopyPage(const wchar_t* stageText) {
  Frame61.Rewind(Frame61.Animate1);
  Frame61.Rewind(Frame61.Animate2);
  SetBar(Frame61.ProgressBar1, 0);
  SetBar(Frame61.ProgressBar2, 0);
  SetText(Frame61.FileLabel, L"");
  heldFileName_.clear();
  heldFileShare_ = heldOverallShare_ = kNoShare;
  SetText(Frame61.StageLabel, stageText);
}

void TForm1::ShowFileName(const std::wstring& name) {
  heldFileName_ = name;
  ShowHeldFileName();
}

void TForm1::ShowHeldFileName() {
  if (heldFileName_.empty() || !fileNamePace_.Take())
    return;
  SetText(Frame61.FileLabel, kCopyingFilePrefix + heldFileName_);
  heldFileName_.clear();
}

void TForm1::ShowHeldShares() {
  if ((heldFileShare_ == kNoShare && heldOverallShare_ == kNoShare) || !sharePace_.Take())
    return;
  SetBarShare(Frame61.ProgressBar1, heldFileShare_);
  SetBarShare(Frame61.ProgressBar2, heldOverallShare_);
  heldFileShare_ = heldOverallShare_ = kNoShare;
}

bool TForm1::Cancelled() {
  return abortAsked_;
}

// The close box during the install: asked, and on "Да" the install stops at its
// next pause. The window closes once the install has taken its work back.
void TForm1::AskToAbort() {
  if (abortAsked_)
    return;
  abortAsked_ = services_.dialogs.Ask(L"setup.abort", L"Прервать установку?", kSetupWindowCaption,
                                      MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TForm1::StageChanged(InstallStage stage) {
  switch (stage) {
    case InstallStage::Preparing:
      // No way back, no second install.
      EnableWindow(Button1, FALSE);
      ShowWindow(Button2, SW_HIDE);
      SetText(Frame61.FileLabel, L"");
      SetText(Frame61.StageLabel, kStagePreparing);
      break;
    case InstallStage::ReadingPackage:
      HideAllPages();
      // The wide page lies over the page list and its label.
      SetWindowPos(Frame61.Handle(), HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
      break;
    case InstallStage::Copying:
      Frame61.Play(Frame61.Animate2);
      SetText(Frame61.StageLabel, kStageCopying);
      break;
    case InstallStage::Shortcuts:
      ResetCopyPage(kStageShortcuts);  // clips at their first frame, bars empty
      break;
  }
}

void TForm1::FileStarted(int32_t /*row*/, const std::wstring& name) {
  Frame61.Play(Frame61.Animate1);
  ShowFileName(name);
}

void TForm1::ProgressChanged(int filePermille, int overallPermille) {
  if (filePermille != kNoShare)
    heldFileShare_ = filePermille;
  if (overallPermille != kNoShare)
    heldOverallShare_ = overallPermille;
  ShowHeldShares();
}

InUseAnswer TForm1::FileInUse(const std::wstring& path, const std::vector<std::wstring>& holders) {
  return services_.dialogs.Ask(L"setup.in-use", FileInUseQuestion(path, holders),
                               kSetupWindowCaption, MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY
             ? InUseAnswer::Retry
             : InUseAnswer::Cancel;
}

void TForm1::Pump() {
  ShowHeldFileName();
  ShowHeldShares();
  if (pump_)
    pump_->Run();  // a close during the install asks first (WM_CLOSE)
}

// Cancel button becomes "Готово" and is enabled; copy page hidden; the finish
// page shows the given boxes; the label "Этапы установки:" is hidden.
void TForm1::Finished(const FinishPageBoxes& boxes) {
  SetText(Button1, L"Готово");
  EnableWindow(Button1, TRUE);
  Frame61.Show(false);
  ShowWindow(Frame71.CheckBox1, boxes.GoSite ? SW_SHOW : SW_HIDE);
  ShowWindow(Frame71.CheckBox2, boxes.Run ? SW_SHOW : SW_HIDE);
  ShowWindow(Frame71.CheckBox3, boxes.Reboot ? SW_SHOW : SW_HIDE);
  Frame71.ShowRestartToFinish(boxes.RestartToFinish);
  ShowWindow(Label2, SW_HIDE);
  SetWindowPos(Frame71.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

void TForm1::PaintHeaderBand() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Handle(), &paint);
  RECT band{0, 0, Scale(kHeaderWidth), Scale(kHeaderHeight)};
  FillRect(dc, &band, GetSysColorBrush(COLOR_WINDOW));
  EndPaint(Handle(), &paint);
}

void TForm1::OnCommand(HWND control, int code) {
  if (control == ListBox1 && code == LBN_SELCHANGE)
    ListBox1Click();
  else if (control == Button1 && code == BN_CLICKED)
    Button1Click();
  else if (control == Button2 && code == BN_CLICKED)
    Button2Click();
  else if (control == Frame41.Edit1 && code == EN_CHANGE)
    Frame41Edit1Change();
  else if (control == Frame41.Button1 && code == BN_CLICKED)
    Frame41Button1Click();
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam)
        OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_PAINT:
      PaintHeaderBand();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == Label1) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_CLOSE:
      if (pump_) {
        AskToAbort();
        return 0;
      }
      break;
    case WM_DESTROY:
      if (services_.endsProgram) {
        SetApplicationWindow(nullptr);
        PostQuitMessage(0);
      }
      return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}
