#include "win/RichTextBox.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <functional>

#include "support/DllSearch.h"
#include "support/FileSystem.h"
#include "support/Handle.h"

namespace {
// The bytes a step moved, or the failure that stops the stream.
using StreamStep = std::function<Expected<LONG>(LPBYTE buffer, LONG size)>;

// What a stream moves and the error it met. The callback runs inside the rich-edit
// control: a failure (or, where there are exceptions, an exception) stops the
// stream and is handed on once the control has returned, so none ever unwinds
// through the control.
struct StreamState {
  StreamStep step;
  Status failure;
#if __cpp_exceptions
  std::exception_ptr error;
#endif
};

DWORD CALLBACK RunStep(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto* state = reinterpret_cast<StreamState*>(cookie);
  *done = 0;
#if __cpp_exceptions
  try {
#endif
    Expected<LONG> moved = state->step(buffer, size);
    if (!moved) {
      state->failure = std::move(moved).Error();
      return 1;
    }
    *done = *moved;
    return 0;
#if __cpp_exceptions
  } catch (...) {
    state->error = std::current_exception();
    return 1;
  }
#endif
}

// Room for a text of any length: a box holds 32,767 characters until told
// otherwise, and cuts RTF streamed into it there (a GPL licence is longer).
void AllowLongText(HWND box) {
  SendMessageW(box, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
}

Status Stream(HWND box, UINT message, StreamStep step) {
  StreamState state{std::move(step), {}};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&state), 0, &RunStep};
  SendMessageW(box, message, SF_RTF, reinterpret_cast<LPARAM>(&stream));
#if __cpp_exceptions
  if (state.error)
    std::rethrow_exception(state.error);
#endif
  return state.failure;
}
}  // namespace

const wchar_t* RichEditClassName() {
  // Not known DLLs: from System32 by full path, never from the program's folder.
  static const ModuleHandle msftedit(LoadSystemLibrary(L"msftedit.dll"));
  static const ModuleHandle riched20(msftedit ? nullptr : LoadSystemLibrary(L"riched20.dll"));
  return msftedit ? MSFTEDIT_CLASS : RICHEDIT_CLASSW;
}

void SetRichTextDefaultFont(HWND box, HFONT font) {
  SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
  format.dwEffects = 0;
  SendMessageW(box, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  AllowLongText(box);
}

Status LoadRichTextFile(HWND box, const std::wstring& path) {
  Expected<BinaryFile> file = BinaryFile::TryOpenRead(path);
  if (!file)
    return std::move(file).Error();
  AllowLongText(box);
  return Stream(box, EM_STREAMIN, [&file](LPBYTE buffer, LONG size) -> Expected<LONG> {
    const Expected<uint32_t> read = file->TryRead(buffer, static_cast<uint32_t>(size));
    if (!read)
      return read.Error();
    return static_cast<LONG>(*read);
  });
}

void SetRichText(HWND box, const std::string& rtf) {
  AllowLongText(box);
  size_t offset = 0;
  // Memory cannot fail to be read: the stream has nothing to report.
  static_cast<void>(Stream(box, EM_STREAMIN, [&](LPBYTE buffer, LONG size) -> Expected<LONG> {
    const size_t count = std::min(rtf.size() - offset, static_cast<size_t>(size));
    memcpy(buffer, rtf.data() + offset, count);
    offset += count;
    return static_cast<LONG>(count);
  }));
}

std::string GetRichText(HWND box) {
  std::string rtf;
  static_cast<void>(Stream(box, EM_STREAMOUT, [&rtf](LPBYTE buffer, LONG size) -> Expected<LONG> {
    rtf.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
    return size;
  }));
  return rtf;
}

void AppendRichTextLine(HWND box, const std::wstring& line) {
  GETTEXTLENGTHEX length{GTL_NUMCHARS, 1200};
  LRESULT end = SendMessageW(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  std::wstring text = end > 0 ? L"\r" + line : line;
  bool readOnly = (GetWindowLongW(box, GWL_STYLE) & ES_READONLY) != 0;
  if (readOnly)
    SendMessageW(box, EM_SETREADONLY, FALSE, 0);
  SendMessageW(box, EM_SETSEL, end, end);
  SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  if (readOnly)
    SendMessageW(box, EM_SETREADONLY, TRUE, 0);
}

std::wstring GetRichPlainText(HWND box) {
  GETTEXTLENGTHEX length{GTL_USECRLF | GTL_NUMCHARS, 1200};
  LRESULT chars = SendMessageW(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  std::wstring text(static_cast<size_t>(chars) + 1, L'\0');
  GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_USECRLF, 1200, nullptr,
                nullptr};
  LRESULT copied = SendMessageW(box, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}
