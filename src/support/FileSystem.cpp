#include "support/FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "support/Error.h"

bool FileExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
  if (path.empty())
    return false;
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceFolder(const std::wstring& path, std::vector<std::wstring>* made) {
  return ValueOrRaise(TryForceFolder(path, made));
}

Expected<bool> TryForceFolder(const std::wstring& path, std::vector<std::wstring>* made) {
  if (path.empty())
    return Failure(L"Unable to create directory");
  std::wstring folder = WithoutTrailingBackslash(path);
  if (folder.size() < 3 || FolderExists(folder))
    return true;
  std::wstring parent = WithoutTrailingBackslash(FolderOf(folder));
  if (parent.empty() || parent == folder)
    return true;
  if (!*TryForceFolder(parent, made))
    return false;
  if (CreateDirectoryW(folder.c_str(), nullptr)) {
    if (made)
      made->push_back(folder);
    return true;
  }
  return GetLastError() == ERROR_ALREADY_EXISTS;
}

bool IsReadOnlyFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int64_t GetFileSize64(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return -1;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size))
    return -1;
  return size.QuadPart;
}

int64_t GetFileSize32(const std::wstring& path) {
  int64_t size = GetFileSize64(path);
  if (size < 0)
    return -1;
  return static_cast<int32_t>(static_cast<uint32_t>(size));
}

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring WithTrailingBackslash(const std::wstring& path) {
  if (path.empty() || path.back() == L'\\')
    return path;
  return path + L'\\';
}

std::wstring WithoutTrailingBackslash(const std::wstring& path) {
  if (!path.empty() && path.back() == L'\\')
    return path.substr(0, path.size() - 1);
  return path;
}

std::wstring ProgramPath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring ProgramFolder() {
  return FolderOf(ProgramPath());
}

Expected<BinaryFile> BinaryFile::TryOpenRead(const std::wstring& path) {
  FileHandle handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!handle)
    return Failure(CannotOpenMessage(path));
  return BinaryFile(std::move(handle), path);
}

BinaryFile BinaryFile::OpenRead(const std::wstring& path) {
  return ValueOrRaise(TryOpenRead(path));
}

Expected<std::optional<BinaryFile>> BinaryFile::TryCreateNew(const std::wstring& path) {
  FileHandle handle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (handle)
    return std::optional<BinaryFile>(BinaryFile(std::move(handle), path));
  if (GetLastError() == ERROR_FILE_EXISTS)
    return std::optional<BinaryFile>();
  return Failure(CannotCreateMessage(path));
}

std::optional<BinaryFile> BinaryFile::CreateNew(const std::wstring& path) {
  return ValueOrRaise(TryCreateNew(path));
}

Expected<BinaryFile> BinaryFile::TryCreate(const std::wstring& path, bool* existed) {
  // A new file in one call, the usual case; only a name that is taken costs a
  // second look. Windows refuses to replace a read-only file; a process with
  // every right under Wine would not be stopped, so the refusal is made here.
  Expected<std::optional<BinaryFile>> made = TryCreateNew(path);
  if (!made)
    return std::move(made).Error();
  if (*made) {
    if (existed)
      *existed = false;
    return std::move(**made);
  }
  if (IsReadOnlyFile(path)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return Failure(CannotCreateMessage(path));
  }
  FileHandle handle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!handle)
    return Failure(CannotCreateMessage(path));
  if (existed)
    *existed = true;
  return BinaryFile(std::move(handle), path);
}

BinaryFile BinaryFile::Create(const std::wstring& path, bool* existed) {
  return ValueOrRaise(TryCreate(path, existed));
}

Expected<uint32_t> BinaryFile::TryRead(void* buffer, uint32_t size) {
  DWORD done = 0;
  if (!ReadFile(handle_.Get(), buffer, size, &done, nullptr))
    return LastErrorFailure(L"Unable to read from " + path_);
  return static_cast<uint32_t>(done);
}

uint32_t BinaryFile::Read(void* buffer, uint32_t size) {
  return ValueOrRaise(TryRead(buffer, size));
}

Status BinaryFile::TryReadExact(void* buffer, uint32_t size) {
  uint32_t total = 0;
  while (total < size) {
    const Expected<uint32_t> done = TryRead(static_cast<char*>(buffer) + total, size - total);
    if (!done)
      return done.Error();
    if (*done == 0)
      return Failure(L"Unexpected end of file \"" + path_ +
                     L"\": the file is shorter than expected.");
    total += *done;
  }
  return {};
}

void BinaryFile::ReadExact(void* buffer, uint32_t size) {
  RaiseIfFailed(TryReadExact(buffer, size));
}

Status BinaryFile::TryWrite(const void* buffer, uint32_t size) {
  DWORD done = 0;
  if (size == 0)
    return {};
  BOOL ok = WriteFile(handle_.Get(), buffer, size, &done, nullptr);
  if (!ok || done != size) {
    const DWORD code = ok ? ERROR_DISK_FULL : GetLastError();  // a short write: the disk is full
    return SystemFailure(L"Unable to write to " + path_, code);
  }
  return {};
}

void BinaryFile::Write(const void* buffer, uint32_t size) {
  RaiseIfFailed(TryWrite(buffer, size));
}

Status BinaryFile::TryWrite(const std::string& bytes) {
  size_t offset = 0;
  constexpr size_t kChunk = 1 << 20;
  while (offset < bytes.size()) {
    const uint32_t piece = static_cast<uint32_t>(std::min(kChunk, bytes.size() - offset));
    if (Status written = TryWrite(bytes.data() + offset, piece); !written)
      return written;
    offset += piece;
  }
  return {};
}

void BinaryFile::Write(const std::string& bytes) {
  RaiseIfFailed(TryWrite(bytes));
}

int64_t BinaryFile::Size() const {
  LARGE_INTEGER size{};
  GetFileSizeEx(handle_.Get(), &size);
  return size.QuadPart;
}

Status BinaryFile::TrySeek(int64_t offset) {
  LARGE_INTEGER position{};
  position.QuadPart = offset;
  if (!SetFilePointerEx(handle_.Get(), position, nullptr, FILE_BEGIN))
    return LastErrorFailure(L"Unable to write to " + path_);
  return {};
}

void BinaryFile::Seek(int64_t offset) {
  RaiseIfFailed(TrySeek(offset));
}

void BinaryFile::Close() {
  handle_.Reset();
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  RaiseIfFailed(TryWriteWholeFile(path, bytes));
}

Status TryWriteWholeFile(const std::wstring& path, const std::string& bytes) {
  Expected<BinaryFile> file = BinaryFile::TryCreate(path);
  if (!file)
    return std::move(file).Error();
  return file->TryWrite(bytes);
}

std::string ReadWholeFile(const std::wstring& path) {
  return ValueOrRaise(TryReadWholeFile(path));
}

Expected<std::string> TryReadWholeFile(const std::wstring& path) {
  std::wstring problem;
  std::optional<std::string> bytes = ReadWholeFile(path, problem);
  if (!bytes)
    return Failure(std::move(problem));
  return std::move(*bytes);
}

std::optional<std::string> ReadWholeFile(const std::wstring& path, std::wstring& problem) {
  const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    problem = CannotOpenMessage(path);
    return std::nullopt;
  }
  LARGE_INTEGER size{};
  GetFileSizeEx(file.Get(), &size);
  // One read of at most 4 GiB - 1, and no more than a string can hold here.
  const uint64_t limit = std::min<uint64_t>(UINT32_MAX, std::string().max_size());
  if (size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > limit) {
    problem = L"The file \"" + path + L"\" is too large to be read (" +
              std::to_wstring(size.QuadPart) + L" bytes).";
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t total = 0;
  while (total < bytes.size()) {
    DWORD done = 0;
    if (!ReadFile(file.Get(), bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &done,
                  nullptr)) {
      const DWORD code = GetLastError();
      problem = SystemErrorMessage(L"Unable to read from " + path, code);
      return std::nullopt;
    }
    if (done == 0) {
      problem = L"Unexpected end of file \"" + path + L"\": the file is shorter than expected.";
      return std::nullopt;
    }
    total += done;
  }
  return bytes;
}

namespace {
// More names than a planted set would plausibly block; each try costs one call.
constexpr int kTemporaryNames = 100;

std::wstring TemporaryName(const std::wstring& target, int attempt) {
  return attempt == 0 ? target + L".kovrin-tmp"
                      : target + L"." + std::to_wstring(attempt) + L".kovrin-tmp";
}

bool NameTaken(const std::wstring& name, DWORD code) {
  if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
    return true;
  // A folder of that name refuses access rather than saying it exists.
  return code == ERROR_ACCESS_DENIED && GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}  // namespace

std::optional<std::wstring> ClaimNameBeside(const std::wstring& target,
                                            const std::function<bool(const std::wstring&)>& claim) {
  DWORD code = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < kTemporaryNames; ++attempt) {
    const std::wstring name = TemporaryName(target, attempt);
    if (claim(name))
      return name;
    code = GetLastError();
    if (!NameTaken(name, code))
      break;
  }
  SetLastError(code);
  return std::nullopt;
}

Expected<TemporaryFile> TemporaryFile::Make(std::wstring target, std::wstring failure) {
  if (failure.empty())
    failure = L"Cannot create file \"" + target + L"\"";
  FileHandle handle;
  const std::optional<std::wstring> name = ClaimNameBeside(target, [&](const std::wstring& name) {
    handle.Reset(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    return handle.Valid();
  });
  if (!name)
    return LastErrorFailure(failure);
  BinaryFile file(std::move(handle), target);
  return TemporaryFile(std::move(target), std::move(failure), *name, std::move(file));
}

TemporaryFile::TemporaryFile(std::wstring target, std::wstring failure)
    : TemporaryFile(ValueOrRaise(Make(std::move(target), std::move(failure)))) {}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : target_(std::move(other.target_)),
      failure_(std::move(other.failure_)),
      path_(std::move(other.path_)),
      file_(std::move(other.file_)),
      committed_(other.committed_) {
  other.committed_ = true;  // the name is this object's now
}

TemporaryFile::~TemporaryFile() {
  if (committed_)
    return;
  file_.Close();
  DeleteFileW(path_.c_str());
}

void TemporaryFile::Commit() {
  RaiseIfFailed(TryCommit());
}

Status TemporaryFile::TryCommit() {
  // On the disk before the rename, so a power cut after it never leaves the
  // target named but empty. A file a caller moved onto Path() is flushed too.
  if (!file_.Open())
    file_ =
        BinaryFile(FileHandle(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_OPEN_REPARSE_POINT, nullptr)),
                   target_);
  if (!file_.Open() || !FlushFileBuffers(file_.handle_.Get()))
    return LastErrorFailure(failure_);
  file_.Close();
  if (IsReadOnlyFile(target_))
    return SystemFailure(failure_, ERROR_ACCESS_DENIED);
  if (!MoveFileExW(path_.c_str(), target_.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return LastErrorFailure(failure_);
  committed_ = true;
  return {};
}

std::wstring TemporaryFile::Keep() {
  file_.Close();
  committed_ = true;
  return path_;
}

void ReplaceFileBytes(const std::wstring& path, const std::string& bytes) {
  RaiseIfFailed(TryReplaceFileBytes(path, bytes));
}

Status TryReplaceFileBytes(const std::wstring& path, const std::string& bytes) {
  Expected<TemporaryFile> file = TemporaryFile::Make(path, L"Unable to write to " + path);
  if (!file)
    return std::move(file).Error();
  if (Status written = file->File().TryWrite(bytes); !written)
    return written;
  return file->TryCommit();
}
