#include "designer/SigningStep.h"

#include "designer/SigningCommand.h"
#include "formats/ScriptKeys.h"
#include "formats/SingleFileFormat.h"
#include "support/FileSystem.h"
#include "support/Handle.h"
#include "support/Strings.h"

namespace {
// What tells one state of the file from another without reading it whole.
struct FileStamp {
  bool Exists = false;
  int64_t Size = -1;
  FILETIME Written{};
  bool operator==(const FileStamp& other) const {
    return Exists == other.Exists && Size == other.Size &&
           CompareFileTime(&Written, &other.Written) == 0;
  }
};

FileStamp StampOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  FileStamp stamp;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
    return stamp;
  stamp.Exists = true;
  stamp.Size = static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  stamp.Written = data.ftLastWriteTime;
  return stamp;
}

std::wstring NameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring WithOutput(std::wstring message, const std::wstring& output) {
  std::wstring trimmed = output;
  while (!trimmed.empty() &&
         (trimmed.back() == L'\r' || trimmed.back() == L'\n' || trimmed.back() == L' '))
    trimmed.pop_back();
  if (!trimmed.empty())
    message += L" Вывод команды: " + trimmed;
  return message;
}

// Waits, pumping messages, until the file has changed and carries a table,
// and has then stayed the same for a moment; false when the time runs out.
bool AwaitSignature(BuildContext& context, const std::wstring& path, const FileStamp& before,
                    DWORD waitMs) {
  constexpr DWORD kStep = 100;
  FileStamp seen;
  for (DWORD waited = 0;; waited += kStep) {
    const FileStamp now = StampOf(path);
    if (now.Exists && !(now == before) && now == seen && CarriesCertificateTable(path))
      return true;
    seen = now;
    if (waited >= waitMs)
      return false;
    context.Checkpoint();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kStep, QS_ALLINPUT);
  }
}
}  // namespace

bool CarriesCertificateTable(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size))
    return false;
  uint8_t head[onefile::kImageHeadSize];
  DWORD read = 0;
  if (!ReadFile(file.Get(), head, sizeof head, &read, nullptr))
    return false;
  const uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
  return onefile::SignedPayloadEnd(head, read, fileSize) != fileSize;
}

void SignProgram(BuildContext& context, const std::wstring& path, DWORD signatureWaitMs) {
  const std::wstring& command = context.Project.SignCommand;
  if (command.empty())
    return;
  const std::wstring name = NameOf(path);
  context.Status(L"Подпись " + name + L"...");
  context.Checkpoint();
  const FileStamp before = StampOf(path);
  const CommandRun run = RunSigningCommand(SigningCommandLine(command, path), context.Observer);
  if (run.ExitCode != 0)
    throw SigningFailed(WithOutput(L"Команда подписи " + name + L" завершилась с кодом " +
                                       std::to_wstring(run.ExitCode) + L".",
                                   run.Output));
  if (!AwaitSignature(context, path, before, signatureWaitMs))
    throw SigningFailed(WithOutput(L"Команда подписи завершилась, но " + name +
                                       L" не подписан: в нём нет таблицы сертификатов.",
                                   run.Output));
}

void SignPackagePrograms(BuildContext& context) {
  if (context.Project.SignCommand.empty())
    return;
  context.Status(kSigningStatus);
  SignProgram(context, context.InBuild(context.Project.SetupFileName));
  if (!context.Project.UseUninstall)
    return;
  // Signed under a program's name, which every signing tool takes; it goes
  // back to its package name afterwards.
  const std::wstring image = context.InBuild(script::kUninstallerImage);
  const std::wstring program = context.InBuild(
      EqualNoCase(context.Project.SetupFileName, L"uninst.exe") ? L"uninst~.exe" : L"uninst.exe");
  if (!MoveFileExW(image.c_str(), program.c_str(), MOVEFILE_REPLACE_EXISTING))
    ThrowLastError(L"Cannot rename \"" + image + L"\"");
  SignProgram(context, program);
  if (!MoveFileExW(program.c_str(), image.c_str(), MOVEFILE_REPLACE_EXISTING))
    ThrowLastError(L"Cannot rename \"" + program + L"\"");
}
