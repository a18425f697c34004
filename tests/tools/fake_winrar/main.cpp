// WinRAR stand-in for the designer's tests. Accepts exactly
//   a -df -sfx -ep1 -iicon<icon> -m<0..5> -z<comment> <archive> @<list>
// reads the icon, the comment and the list, writes <archive> holding them and
// each listed file under its bare name, then deletes the listed files (-df).
// Exit codes: 0 done, 2 wrong command line, 3 an input is missing, 4 the archive
// cannot be written. Nothing is deleted unless the archive is complete.

#include <windows.h>

#include <string>
#include <vector>

#include "FakeArchive.h"
#include "formats/Payload.h"
#include "support/CodePage.h"
#include "support/CommandLineWords.h"
#include "support/Error.h"
#include "support/FileSystem.h"

namespace {
enum ExitCode { kDone = 0, kBadCommandLine = 2, kMissingInput = 3, kCannotWrite = 4 };

struct Request {
  std::wstring icon, comment, archive, list;
  int method = -1;
};

bool TakePrefixed(const std::wstring& arg, const std::wstring& prefix, std::wstring& value) {
  if (arg.size() <= prefix.size() || arg.compare(0, prefix.size(), prefix) != 0)
    return false;
  value = arg.substr(prefix.size());
  return true;
}

bool Parse(const std::vector<std::wstring>& args, Request& request) {
  if (args.size() != 9 || args[0] != L"a" || args[1] != L"-df" || args[2] != L"-sfx" ||
      args[3] != L"-ep1")
    return false;
  std::wstring method;
  if (!TakePrefixed(args[4], L"-iicon", request.icon) || !TakePrefixed(args[5], L"-m", method) ||
      !TakePrefixed(args[6], L"-z", request.comment) || !TakePrefixed(args[8], L"@", request.list))
    return false;
  if (method.size() != 1 || method[0] < L'0' || method[0] > L'5')
    return false;
  request.method = method[0] - L'0';
  request.archive = args[7];
  return !request.archive.empty() && request.archive[0] != L'-' && request.archive[0] != L'@';
}

// The command line after the program's own name, as the shell passed it.
std::wstring ArgumentText() {
  const wchar_t* text = GetCommandLineW();
  bool quoted = false;
  for (; *text && (quoted || (*text != L' ' && *text != L'\t')); ++text)
    if (*text == L'"')
      quoted = !quoted;
  while (*text == L' ' || *text == L'\t') ++text;
  return text;
}

std::vector<std::wstring> ListedFiles(const std::wstring& listPath) {
  std::vector<std::wstring> files;
  const std::wstring text = FromCp1251(ReadWholeFile(listPath));
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find(L"\r\n", at);
    if (end == std::wstring::npos)
      end = text.size();
    if (end > at)
      files.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return files;
}

std::wstring BareName(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/:");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void Put(BinaryFile& archive, const std::string& bytes) {
  archive.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

void PutFile(BinaryFile& archive, const std::string& tag, const std::wstring& path,
             const std::string& name, CopyBuffer& buffer) {
  BinaryFile source = BinaryFile::OpenRead(path);
  Put(archive,
      fake_archive::RecordHeader(tag, static_cast<unsigned long long>(source.Size()), name));
  CopyChunked(source, archive, source.Size(), buffer, kPayloadBlock);
}

int Run() {
  std::vector<std::wstring> args = SplitCommandLine(GetCommandLineW());
  if (!args.empty())
    args.erase(args.begin());

  Request request;
  if (!Parse(args, request))
    return kBadCommandLine;
  if (!FileExists(request.icon) || !FileExists(request.comment) || !FileExists(request.list))
    return kMissingInput;
  const std::vector<std::wstring> files = ListedFiles(request.list);
  for (const std::wstring& file : files)
    if (!FileExists(file))
      return kMissingInput;

  try {
    CopyBuffer buffer;
    BinaryFile archive = BinaryFile::Create(request.archive);
    Put(archive, fake_archive::kMagic);
    const std::wstring argText = ArgumentText();
    const int utf8Length =
        WideCharToMultiByte(CP_UTF8, 0, argText.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(utf8Length > 0 ? utf8Length - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, argText.c_str(), -1, utf8.data(), utf8Length, nullptr, nullptr);
    Put(archive, fake_archive::RecordHeader("args", utf8.size()));
    Put(archive, utf8);
    PutFile(archive, "icon", request.icon, {}, buffer);
    PutFile(archive, "comment", request.comment, {}, buffer);
    for (const std::wstring& file : files)
      PutFile(archive, "file", file, ToCp1251(BareName(file)), buffer);
  } catch (const KovrinError&) {
    DeleteFileW(request.archive.c_str());
    return kCannotWrite;
  }
  for (const std::wstring& file : files) DeleteFileW(file.c_str());
  return kDone;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return Run();
}
