#include "designer/ui/create_install.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "support/Handle.h"
#include "win/Application.h"
#include "win/GdiScope.h"
#include "win/Layout.h"
#include "win/MessagePump.h"

namespace {
constexpr wchar_t kClassName[] = L"KovrinBuildDialog";
constexpr wchar_t kCaption[] = L"Создание программы установки";
constexpr wchar_t kMessageCaption[] = L"Kovrin";
constexpr UINT_PTR kStartTimer = 1;
constexpr int kMarkSize = 16;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

const wchar_t* const kStageTexts[4] = {L"Создание INI файла", L"Добавление файлов для установки",
                                       L"Добавление дополнительной информации", L"Сжатие файлов"};

// The two marks of ImageList1, drawn once: index 0 a green check mark, index 1
// a green arrow pointing right, on a transparent ground.
HICON DrawMark(int index, int size) {
  BitmapHandle colour;
  BitmapHandle mask(CreateBitmap(size, size, 1, 1, nullptr));
  MemoryDc dc;
  {
    const WindowDc screen(nullptr);
    dc.Reset(CreateCompatibleDC(screen.Get()));
    colour.Reset(CreateCompatibleBitmap(screen.Get(), size, size));
  }

  const auto at = [size](int v) { return v * size / kMarkSize; };
  {
    const SelectedObject colourTarget(dc.Get(), colour.Get());
    RECT all{0, 0, size, size};
    FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const BrushHandle green(CreateSolidBrush(RGB(0, 160, 0)));
    const PenHandle pen(CreatePen(PS_SOLID, std::max(2, at(3)), RGB(0, 160, 0)));
    const SelectedObject brush(dc.Get(), green.Get());
    const SelectedObject line(dc.Get(), pen.Get());
    if (index == 0) {
      POINT check[] = {{at(2), at(8)}, {at(6), at(12)}, {at(14), at(3)}};
      Polyline(dc.Get(), check, 3);
    } else {
      SelectObject(dc.Get(), GetStockObject(NULL_PEN));  // `line` puts the original pen back
      POINT arrow[] = {{at(1), at(6)},  {at(8), at(6)},  {at(8), at(2)}, {at(15), at(8)},
                       {at(8), at(14)}, {at(8), at(10)}, {at(1), at(10)}};
      Polygon(dc.Get(), arrow, 7);
    }
  }

  // Mask: white where the ground (black) shows through.
  {
    const SelectedObject maskTarget(dc.Get(), mask.Get());
    const MemoryDc colourDc(CreateCompatibleDC(dc.Get()));
    const SelectedObject colourSource(colourDc.Get(), colour.Get());
    SetBkColor(colourDc.Get(), RGB(0, 0, 0));
    BitBlt(dc.Get(), 0, 0, size, size, colourDc.Get(), 0, 0, SRCCOPY);
  }

  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = colour.Get();
  info.hbmMask = mask.Get();
  return CreateIconIndirect(&info);
}

void ShowMark(HWND mark, HICON icon) {
  SendMessageW(mark, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}
}  // namespace

TForm3::TForm3(SetupProject& project, BuildFolders folders, Prompter& prompter)
    : project_(project), folders_(std::move(folders)), prompter_(prompter) {
  checkIcon_ = DrawMark(0, Scale(kMarkSize));
  arrowIcon_ = DrawMark(1, Scale(kMarkSize));
}

TForm3::~TForm3() {
  if (Handle())
    DestroyWindow(Handle());
  DestroyIcon(checkIcon_);
  DestroyIcon(arrowIcon_);
}

void TForm3::Create(HWND owner) {
  const SIZE size = WindowSizeForClient(392, 266, kStyle, kExStyle, false);
  const POINT at = CentredOnScreen(size.cx, size.cy);
  CreateWindowInstance(kClassName, kCaption, kStyle, kExStyle, at.x, at.y, size.cx, size.cy, owner);
  HWND self = Handle();
  for (int i = 0; i < 4; ++i) {
    marks_[i] = CreateChild(self, L"STATIC", L"", WS_VISIBLE | SS_ICON | SS_REALSIZEIMAGE, 16,
                            21 + 40 * i, kMarkSize, kMarkSize, 100 + i);
    labels_[i] = CreateChild(self, L"STATIC", kStageTexts[i], WS_VISIBLE | SS_LEFT, 56, 24 + 40 * i,
                             320, 16, 110 + i);
  }
  status_ = CreateChild(self, L"STATIC", L"Подготовка к созданию",
                        WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 16, 192, 361, 16, 120);
  bar_ = CreateChild(self, PROGRESS_CLASSW, L"", WS_VISIBLE, 16, 208, 361, 17, 121);
  cancel_ = CreateChild(self, L"BUTTON", L"Отмена", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 304,
                        234, 75, 25, IDCANCEL);
  FormCreate();
}

void TForm3::FormCreate() {
  // The bar is drawn smooth, 0..100; the first tick of Timer1 starts the run.
  SetWindowLongPtrW(bar_, GWL_STYLE, GetWindowLongPtrW(bar_, GWL_STYLE) | PBS_SMOOTH);
  SendMessageW(bar_, PBM_SETRANGE32, 0, 100);
  SetTimer(Handle(), kStartTimer, startDelayMs_, nullptr);
}

bool TForm3::ShowModal(HWND owner, UINT startDelayMs) {
  startDelayMs_ = startDelayMs;
  Create(owner);
  {
    ModalLoop modal(Handle(), owner);
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(Handle());
    modal.Run(closed_);
  }
  DestroyWindow(Handle());
  return succeeded_;
}

void TForm3::Timer1Timer() {
  // Off before the run: its message pumping must never start a second run.
  KillTimer(Handle(), kStartTimer);
  RunBuild();
}

void TForm3::RunBuild() {
  running_ = true;
  pump_.emplace(Handle());
  const BuildResult result = ::RunBuild(project_, folders_, *this);
  pump_.reset();  // a quit request met during the run goes back to the main loop
  running_ = false;
  switch (result.Outcome) {
    case BuildOutcome::Done:
      succeeded_ = true;
      prompter_.Ask(L"build.done", result.Message, kMessageCaption, MB_OK | MB_ICONINFORMATION);
      Close();
      break;
    case BuildOutcome::Cancelled:
      prompter_.Ask(L"build.cancelled", result.Message, kMessageCaption,
                    MB_OK | MB_ICONINFORMATION);
      Close();
      break;
    case BuildOutcome::Failed:
      // The standard error box; the dialog stays open at the stage reached,
      // unless the author already asked to close it during the run.
      ReportError(L"build.error", result.Message);
      if (closeRequested_)
        Close();
      break;
  }
}

void TForm3::Button1Click() {
  if (running_) {
    cancelRequested_ = true;  // honoured between two blocks
    EnableWindow(cancel_, FALSE);
    SetStatus(L"Отмена...");
    return;
  }
  Close();  // before the run starts, or after it failed
}

void TForm3::Close() {
  KillTimer(Handle(), kStartTimer);
  closed_ = true;
  PostMessageW(Handle(), WM_NULL, 0, 0);  // wake the modal loop
}

void TForm3::SetStatus(const std::wstring& text) {
  SetWindowTextW(status_, text.c_str());
}

void TForm3::SetPosition(int position) {
  SendMessageW(bar_, PBM_SETPOS, position, 0);
}

void TForm3::Pump() {
  if (pump_ && !pump_->Run())
    cancelRequested_ = true;  // the program is asked to end
}

void TForm3::StageBegins(BuildStage stage) {
  const int i = static_cast<int>(stage) - 1;
  SendMessageW(labels_[i], WM_SETFONT, reinterpret_cast<WPARAM>(UiBoldFont()), TRUE);
  ShowMark(marks_[i], arrowIcon_);
}

void TForm3::StageEnds(BuildStage stage) {
  const int i = static_cast<int>(stage) - 1;
  SendMessageW(labels_[i], WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), TRUE);
  ShowMark(marks_[i], checkIcon_);
}

LRESULT TForm3::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kStartTimer) {
        Timer1Timer();
        return 0;
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
        Button1Click();
        return 0;
      }
      break;
    case WM_CLOSE:
      // A close through the frame during the run takes effect when the run has ended.
      if (running_)
        closeRequested_ = true;
      else
        Close();
      return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

bool ShowBuildDialog(HWND owner, SetupProject& project, const std::wstring& designerFolder,
                     Prompter& prompter) {
  TForm3 form(project, BuildFolders{designerFolder, BuildFolderFromEnvironment()}, prompter);
  return form.ShowModal(owner);
}
