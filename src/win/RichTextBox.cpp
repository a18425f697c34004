#include "win/RichTextBox.h"

#include <richedit.h>

#include "support/FileSystem.h"
#include "support/Handle.h"

namespace {
ModuleHandle g_richEdit;

struct MemoryStream {
  const std::string* bytes;
  size_t offset;
};

DWORD CALLBACK ReadFromFile(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto* file = reinterpret_cast<BinaryFile*>(cookie);
  *done = static_cast<LONG>(file->Read(buffer, static_cast<uint32_t>(size)));
  return 0;
}

DWORD CALLBACK ReadFromMemory(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto* stream = reinterpret_cast<MemoryStream*>(cookie);
  size_t left = stream->bytes->size() - stream->offset;
  size_t count = left < static_cast<size_t>(size) ? left : static_cast<size_t>(size);
  memcpy(buffer, stream->bytes->data() + stream->offset, count);
  stream->offset += count;
  *done = static_cast<LONG>(count);
  return 0;
}

DWORD CALLBACK WriteToString(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), size);
  *done = size;
  return 0;
}
}  // namespace

void LoadRichEditLibrary() {
  if (!g_richEdit)
    g_richEdit.Reset(LoadLibraryW(L"msftedit.dll"));
}

const wchar_t* RichEditClassName() {
  return MSFTEDIT_CLASS;
}

void SetRichTextDefaultFont(HWND box, HFONT font) {
  SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
  format.dwEffects = 0;
  SendMessageW(box, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

void LoadRichTextFile(HWND box, const std::wstring& path) {
  BinaryFile file = BinaryFile::OpenRead(path);
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&file), 0, &ReadFromFile};
  SendMessageW(box, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

void SetRichText(HWND box, const std::string& rtf) {
  MemoryStream memory{&rtf, 0};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&memory), 0, &ReadFromMemory};
  SendMessageW(box, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

std::string GetRichText(HWND box) {
  std::string rtf;
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, &WriteToString};
  SendMessageW(box, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
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
