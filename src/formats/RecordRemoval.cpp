#include "formats/RecordRemoval.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "formats/CrcText.h"
#include "formats/UninstallEntry.h"
#include "support/ContainedFiles.h"
#include "support/Environment.h"
#include "support/FileChecksum.h"
#include "support/FileSystem.h"
#include "support/Handle.h"
#include "support/PathNames.h"
#include "support/ProfileFile.h"
#include "support/QRegistry.h"
#include "support/Strings.h"

std::optional<std::wstring> RowNumber(const std::wstring& key, std::wstring_view prefix) {
  if (key.size() <= prefix.size() || !StartsWithNoCase(key, prefix))
    return std::nullopt;
  const std::wstring digits = key.substr(prefix.size());
  if (!std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
    return std::nullopt;
  return digits;
}

namespace {
std::vector<std::wstring> NumberedValues(const ProfileFile& record, const wchar_t* section,
                                         std::wstring_view prefix) {
  std::vector<std::wstring> values;
  for (const auto& [key, value] : record.ReadSection(section))
    if (RowNumber(key, prefix) && !value.empty())
      values.push_back(value);
  return values;
}

// What the install wrote at a path: its size and checksum when the record has them.
struct Written {
  std::optional<int64_t> size;
  std::optional<uint32_t> crc;
};

// The [Files] rows by path, in record order; a path listed twice (a reinstall
// that kept an earlier row) keeps every description it was given.
struct FileRow {
  std::wstring path;
  std::vector<Written> written;
};

std::vector<FileRow> FileRows(const ProfileFile& record) {
  std::unordered_map<std::wstring, Written> byNumber;
  std::vector<std::pair<std::wstring, std::wstring>> files;  // number, path
  for (const auto& [key, value] : record.ReadSection(uninstall::kFilesSection)) {
    if (value.empty())
      continue;
    if (auto n = RowNumber(key, uninstall::kFileKey)) {
      files.emplace_back(*n, value);
    } else if (auto n = RowNumber(key, uninstall::kFileSizeKey)) {
      const int64_t size = _wtoi64(value.c_str());
      if (size >= 0 && std::to_wstring(size) == value)
        byNumber[*n].size = size;
    } else if (auto n = RowNumber(key, uninstall::kFileCrcKey)) {
      uint32_t crc = 0;
      if (ParseCrcText(value, crc))
        byNumber[*n].crc = crc;
    }
  }
  std::vector<FileRow> rows;
  std::unordered_map<std::wstring, size_t> byPath;
  for (const auto& [number, path] : files) {
    const std::wstring key = FoldedPath(path);
    auto [it, fresh] = byPath.emplace(key, rows.size());
    if (fresh)
      rows.push_back({path, {}});
    rows[it->second].written.push_back(byNumber[number]);
  }
  return rows;
}

// Whether the open file is still what one of the descriptions says was
// written. A description without size and checksum proves something only in a
// record from before checksums; in a record that has them, such a row was added.
bool StillAsWritten(HANDLE file, const std::vector<Written>& written, bool recordHasChecksums) {
  std::optional<int64_t> size;
  std::optional<uint32_t> crc;
  for (const Written& w : written) {
    if (!w.size && !w.crc) {
      if (recordHasChecksums)
        continue;
      return true;
    }
    if (w.size) {
      if (!size)
        size = HandleFileSize(file);
      if (*size != *w.size)
        continue;
    }
    if (w.crc) {
      if (!crc && !(crc = TryHandleCrc32(file)))
        return false;  // unreadable: not known to be ours
      if (*crc != *w.crc)
        continue;
    }
    return true;
  }
  return false;
}

bool IsChecked(const FileRow& row) {
  return std::any_of(row.written.begin(), row.written.end(),
                     [](const Written& w) { return w.size || w.crc; });
}

bool RecordHasChecksums(const std::vector<FileRow>& rows) {
  return std::any_of(rows.begin(), rows.end(), IsChecked);
}

// A shell link file: its header starts with its size (0x4C) and the link class.
bool IsShellLinkFile(HANDLE file) {
  static const unsigned char kHeader[20] = {0x4C, 0, 0,    0, 0x01, 0x14, 0x02, 0, 0, 0,
                                            0,    0, 0xC0, 0, 0,    0,    0,    0, 0, 0x46};
  unsigned char header[20] = {};
  DWORD got = 0;
  return ReadFile(file, header, sizeof header, &got, nullptr) && got == sizeof header &&
         std::equal(header, header + sizeof header, kHeader);
}

// What the removal opens a file with: to read it, clear its read-only
// attribute and delete it, all through the one handle.
constexpr DWORD kRemovalAccess = GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES;

// Deletes the open file; false when it stays, with its read-only attribute
// back if it had one.
bool RemoveFile(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFO basic{};
  const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
  if (readOnly) {
    // NORMAL stands alone: the system refuses it beside other attributes.
    basic.FileAttributes = (attributes & ~FILE_ATTRIBUTE_READONLY)
                               ? (attributes & ~FILE_ATTRIBUTE_READONLY)
                               : FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
  }
  if (DeleteThroughHandle(file))
    return true;
  if (readOnly) {
    basic.FileAttributes = attributes;
    SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
  }
  return false;
}

// Opens a file of the record's folder and deletes it; false when it stays.
bool RemoveFile(const std::wstring& folder, const std::wstring& path) {
  ContainedFile file = OpenContained(folder, path, kRemovalAccess);
  if (file.Status == ContainedStatus::Missing)
    return true;
  return file.Status == ContainedStatus::Opened && !(file.Attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         RemoveFile(file.Handle.Get(), file.Attributes);
}

// The files and links the other records in the folder list, and those records.
std::unordered_set<std::wstring> ListedByOthers(const std::wstring& folder,
                                                const std::wstring& ownRecord) {
  std::unordered_set<std::wstring> listed;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((folder + L"\\" + uninstall::kRecordPattern).c_str(), &found));
  if (!search)
    return listed;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsRecordFileName(found.cFileName))
      continue;
    const std::wstring path = folder + L"\\" + found.cFileName;
    if (FoldedPath(path) == ownRecord)
      continue;
    std::wstring problem;
    // An unreadable record protects nothing but itself.
    if (const std::optional<ProfileFile> record = ProfileFile::Load(path, problem))
      listed.merge(RecordedPaths(*record));
  } while (FindNextFileW(search.Get(), &found));
  return listed;
}

class Removal {
 public:
  Removal(const UninstallCommand& command, const std::wstring& selfPath, UninstallResult& result,
          const RecordRemovalScope& scope)
      : command_(command),
        scope_(scope),
        result_(result),
        folder_(WithoutTrailingBackslash(LongFullPath(FolderOf(command.ScriptPath)))),
        ownRecord_(FoldedPath(LongFullPath(command.ScriptPath))),
        self_(FoldedPath(LongFullPath(selfPath))) {}

  Status Run() {
    std::optional<ProfileFile> loaded;
    if (!scope_.Rows) {
      std::wstring problem;
      loaded = ProfileFile::Load(command_.ScriptPath, problem);
      if (!loaded)
        return Failure(std::move(problem));
    }
    const ProfileFile& record = scope_.Rows ? *scope_.Rows : *loaded;
    others_ = ListedByOthers(folder_, ownRecord_);
    const std::vector<FileRow> rows = FileRows(record);
    recordHasChecksums_ = RecordHasChecksums(rows);
    for (const FileRow& row : rows) RemoveRecordedFile(row);
    for (const std::wstring& link : RecordedLinks(record)) RemoveRecordedLink(link);
    // The record goes only when nothing it answers for is left, so a second try
    // finds what a first one could not remove.
    if (scope_.RemoveRecord && result_.NotRemoved.empty() &&
        !RemoveFile(folder_, command_.ScriptPath))
      result_.NotRemoved.push_back(command_.ScriptPath);
    RemoveEmptyFolders();
    return {};
  }

 private:
  void RemoveRecordedFile(const FileRow& row) {
    const std::wstring& path = row.path;
    const std::wstring folded = FoldedPath(LongFullPath(path));
    if (folded == self_ || Kept(folded))
      return;
    if (!IsPortableAbsolutePath(path) || !IsPathInside(path, folder_) || IsRecordBeside(path)) {
      result_.Skipped.push_back(path);
      return;
    }
    if (others_.count(folded)) {
      result_.Shared.push_back(path);
      return;
    }
    if (recordHasChecksums_ && !IsChecked(row)) {
      result_.Skipped.push_back(path);  // added to a record that checks every file it wrote
      return;
    }
    // Opened without following a link, and compared and deleted through that
    // handle: a folder swapped for a link to elsewhere keeps what it points to.
    ContainedFile file = OpenContained(folder_, path, kRemovalAccess);
    switch (file.Status) {
      case ContainedStatus::Missing:
        result_.Missing.push_back(path);
        NoteFolders(path);
        return;
      case ContainedStatus::Redirected:
        result_.Skipped.push_back(path);
        return;
      case ContainedStatus::Failed:  // held open without delete sharing, for one
        NotRemovedNow(path);
        return;
      case ContainedStatus::Opened:
        break;
    }
    if ((file.Attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !StillAsWritten(file.Handle.Get(), row.written, recordHasChecksums_)) {
      result_.Changed.push_back(path);
      return;
    }
    if (!RemoveFile(file.Handle.Get(), file.Attributes)) {
      NotRemovedNow(path);
      return;
    }
    ++result_.FilesRemoved;
    NoteFolders(path);
  }

  // A file that cannot go now goes when Windows restarts, with /REBOOTOK.
  void NotRemovedNow(const std::wstring& path) {
    if (scope_.RemoveAtRestart && MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
      result_.AtRestart.push_back(path);
    else
      result_.NotRemoved.push_back(path);
  }

  // A record in the install folder (this product's or another's) is never a
  // file of the install, whatever a row says.
  bool IsRecordBeside(const std::wstring& path) const {
    return IsRecordFileName(path.substr(FolderOf(path).size())) &&
           FoldedPath(LongFullPath(FolderOf(path))) == FoldedPath(folder_);
  }

  void RemoveRecordedLink(const std::wstring& path) {
    const bool local = path.size() > 3 && path[1] == L':' && IsPortableAbsolutePath(path);
    if (!local || path.size() < 4 ||
        !EqualNoCase(std::wstring_view(path).substr(path.size() - 4), L".lnk")) {
      result_.Skipped.push_back(path);
      return;
    }
    if (Kept(FoldedPath(LongFullPath(path))))
      return;
    if (!scope_.Links.Allows(path)) {
      result_.Skipped.push_back(path);  // not a folder the install made its links in
      return;
    }
    if (others_.count(FoldedPath(LongFullPath(path)))) {
      result_.Shared.push_back(path);
      return;
    }
    // The link itself, never what a planted reparse point would lead to.
    const FileHandle link(
        CreateFileW(path.c_str(), kRemovalAccess,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!link) {
      const DWORD code = GetLastError();
      if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        result_.Missing.push_back(path);
      else
        result_.NotRemoved.push_back(path);
      return;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(link.Get(), &information) ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
        !IsShellLinkFile(link.Get())) {
      result_.Skipped.push_back(path);
      return;
    }
    if (!RemoveFile(link.Get(), information.dwFileAttributes)) {
      result_.NotRemoved.push_back(path);
      return;
    }
    ++result_.LinksRemoved;
  }

  bool Kept(const std::wstring& folded) const { return scope_.Keep && scope_.Keep->count(folded); }

  // Every folder from the file's own up to the install folder, each once.
  void NoteFolders(const std::wstring& path) {
    for (std::wstring folder = WithoutTrailingBackslash(LongFullPath(FolderOf(path)));
         folder.size() > folder_.size() && IsPathInside(folder, folder_);
         folder = WithoutTrailingBackslash(FolderOf(folder)))
      if (folderKeys_.insert(FoldedPath(folder)).second)
        folders_.push_back(folder);
  }

  // Deepest first, then the install folder; never a recursive delete.
  void RemoveEmptyFolders() {
    std::sort(folders_.begin(), folders_.end(),
              [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
    for (const std::wstring& folder : folders_) {
      // A folder that is a link, or leads out of the install folder, is kept.
      ContainedFile handle = OpenContained(folder_, folder, DELETE);
      if (handle.Status == ContainedStatus::Opened &&
          (handle.Attributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteThroughHandle(handle.Handle.Get());
      handle.Handle.Reset();
      if (handle.Status != ContainedStatus::Missing && FolderExists(folder))
        result_.FoldersKept.push_back(folder);
    }
    if (!RemoveDirectoryW(folder_.c_str()) && FolderExists(folder_))
      result_.FoldersKept.push_back(folder_);
  }

  const UninstallCommand& command_;
  const RecordRemovalScope& scope_;
  UninstallResult& result_;
  std::wstring folder_;     // the record's folder, in its long form
  std::wstring ownRecord_;  // folded
  std::wstring self_;       // folded
  std::unordered_set<std::wstring> others_;
  std::set<std::wstring> folderKeys_;
  std::vector<std::wstring> folders_;
  bool recordHasChecksums_ = false;
};
}  // namespace

Status RemoveRecordedInstallation(const UninstallCommand& command, const std::wstring& selfPath,
                                  UninstallResult& result, const RecordRemovalScope& scope) {
  return Removal(command, selfPath, result, scope).Run();
}

bool LinkFolderRule::Allows(const std::wstring& link) const {
  const std::wstring parent = FolderOf(link);
  if (parent.empty())
    return false;
  const std::wstring folder = FoldedPath(WithoutTrailingBackslash(LongFullPath(parent)));
  for (const std::wstring& allowed : Folders)
    if (!allowed.empty() && FoldedPath(WithoutTrailingBackslash(LongFullPath(allowed))) == folder)
      return true;
  for (const std::wstring& tree : Trees)
    if (!tree.empty() && IsPathInside(link, tree))
      return true;
  return false;
}

LinkFolderRule LinkFoldersOf(const std::optional<std::wstring>& registered) {
  LinkFolderRule rule;
  if (registered) {
    rule.Folders = SplitLinkFolders(*registered);
  } else {
    const PathVariableTable& folders = PathVariables();
    for (const std::wstring* tree : {&folders.Desktop, &folders.StartMenu, &folders.Startup})
      if (IsPortableAbsolutePath(*tree))
        rule.Trees.push_back(*tree);
  }
  return rule;
}

std::optional<std::wstring> RegisteredLinkFolders(const std::wstring& programName) {
  if (!ProgramNameProblem(programName).empty() || programName.empty())
    return std::nullopt;
  const RegistryKey key = RegistryKey::Open(HKEY_LOCAL_MACHINE, UninstallRegistryKey(programName));
  std::wstring value;
  DWORD type = REG_NONE;
  if (!key || key.QueryText(uninstall::kLinkFolders, value, &type) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return value;
}

std::vector<std::wstring> RecordedLinks(const ProfileFile& record) {
  return NumberedValues(record, uninstall::kShortCutsSection, uninstall::kShortCutKey);
}

std::unordered_set<std::wstring> RecordedPaths(const ProfileFile& record) {
  std::unordered_set<std::wstring> paths;
  for (const std::wstring& file :
       NumberedValues(record, uninstall::kFilesSection, uninstall::kFileKey))
    paths.insert(FoldedPath(LongFullPath(file)));
  for (const std::wstring& link : RecordedLinks(record))
    paths.insert(FoldedPath(LongFullPath(link)));
  return paths;
}
