#include "setup/LogTarget.h"

#include <windows.h>

#include "formats/ScriptKeys.h"
#include "support/ContainedFiles.h"
#include "support/FileNames.h"
#include "support/FileSystem.h"
#include "support/Handle.h"
#include "support/PathNames.h"

namespace {
struct FileIdentity {
  DWORD Volume = 0;
  DWORD IndexHigh = 0;
  DWORD IndexLow = 0;
  bool Known = false;

  bool operator==(const FileIdentity& other) const {
    return Known && other.Known && Volume == other.Volume && IndexHigh == other.IndexHigh &&
           IndexLow == other.IndexLow;
  }
};

// The volume and file index of an existing file, through whatever links lead to it.
FileIdentity IdentityOf(const std::wstring& path) {
  FileIdentity identity;
  const FileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (file.Valid() && GetFileInformationByHandle(file.Get(), &info)) {
    identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow, true};
  }
  return identity;
}

FileHandle OpenForAttributes(const std::wstring& path, DWORD flags) {
  return FileHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

// Whether the existing `path` is itself a link: the system says so, or the
// handle of the entry, not followed, ends somewhere else than its folder's
// own final path and its name (Wine reports no reparse attribute). Links
// among the folders above it are the user's own business.
bool IsLink(const std::wstring& path) {
  const FileHandle entry = OpenForAttributes(path, FILE_FLAG_OPEN_REPARSE_POINT);
  if (!entry.Valid()) {
    // A link whose target is gone cannot be opened, but its folder entry still tells.
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
      return false;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(entry.Get(), &info) &&
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return true;
  const std::wstring full = LongFullPath(path);
  const FileHandle folder = OpenForAttributes(FolderOf(full), 0);
  if (!folder.Valid())
    return false;
  const std::wstring expected =
      WithTrailingBackslash(HandleFinalPath(folder.Get())) + std::wstring(FileNamePart(full));
  return !SameFileName(HandleFinalPath(entry.Get()), expected);
}

bool IsSameFile(const std::wstring& a, const std::wstring& b) {
  return SameFileName(LongFullPath(a), LongFullPath(b)) || IdentityOf(a) == IdentityOf(b);
}
}  // namespace

std::wstring LogTargetProblem(const std::wstring& logPath, const std::wstring& packageFolder,
                              const std::wstring& programPath) {
  if (IsLink(logPath))
    return L"Файл журнала «" + logPath + L"» — ссылка на другой файл; журнал в него не пишется.";
  const DWORD attributes = GetFileAttributesW(logPath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return L"«" + logPath + L"» — папка, а не файл журнала.";

  if (IsSameFile(logPath, programPath))
    return L"Файл журнала «" + logPath + L"» — сама программа установки; укажите другой файл.";
  const wchar_t* const packageFiles[] = {script::kScriptFile,  script::kPayloadFile,
                                         script::kTextsFile,   script::kUninstallerImage,
                                         script::kSavedReadMe, script::kSavedLicense};
  for (const wchar_t* name : packageFiles) {
    if (IsSameFile(logPath, packageFolder + name))
      return L"Файл журнала «" + logPath + L"» — файл пакета «" + name +
             L"»; журнал его уничтожил бы. Укажите другой файл.";
  }
  return {};
}
