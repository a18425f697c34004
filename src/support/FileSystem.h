#pragma once
// Files and folders: existence tests, folder creation, sizes, a checked
// binary file that raises KovrinError instead of failing silently, and the one
// way to replace a file: a temporary file beside it, renamed over it when whole.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/Failure.h"
#include "support/Handle.h"

bool FileExists(const std::wstring& path);
// True for an existing folder; a trailing "\" is allowed; a file gives false.
bool FolderExists(const std::wstring& path);
// Creates the folder and its missing parents. An empty path raises
// "Unable to create directory"; any other failure returns false. Each folder
// it made is appended to `made`, parents first.
bool ForceFolder(const std::wstring& path, std::vector<std::wstring>* made = nullptr);
// The same, the empty path a failure instead of an error raised.
Expected<bool> TryForceFolder(const std::wstring& path, std::vector<std::wstring>* made = nullptr);

// An existing file (not a folder) with the read-only attribute: Windows refuses
// to replace it, and the kit refuses the same under Wine, which would not.
bool IsReadOnlyFile(const std::wstring& path);

// Size of a file read as a signed 32-bit number and widened; -1 when it cannot be
// opened. Files of 2 GiB or more come out wrong, as the package format stores them.
int64_t GetFileSize32(const std::wstring& path);
// The real 64-bit size, or -1 when the file cannot be opened.
int64_t GetFileSize64(const std::wstring& path);

// Folder part of a path including its last "\" (empty when there is none).
std::wstring FolderOf(const std::wstring& path);
// The path with one "\" appended unless it already ends with one (empty stays empty).
std::wstring WithTrailingBackslash(const std::wstring& path);
// The path with one trailing "\" removed.
std::wstring WithoutTrailingBackslash(const std::wstring& path);

// Full path of the running program and its folder with a trailing "\".
std::wstring ProgramPath();
std::wstring ProgramFolder();

// A file opened for one streaming pass. Reads and writes check their counts.
// Each raising member has a Try twin that returns the failure it would raise.
class BinaryFile {
 public:
  static Expected<BinaryFile> TryOpenRead(const std::wstring& path);
  static Expected<BinaryFile> TryCreate(const std::wstring& path, bool* existed = nullptr);
  static Expected<std::optional<BinaryFile>> TryCreateNew(const std::wstring& path);

  // Opens for reading, others may read too. Raises `Cannot open file "…". …`.
  static BinaryFile OpenRead(const std::wstring& path);
  // Creates or replaces for writing; a read-only file is never replaced. Raises
  // `Cannot create file "…". …`. `existed` (if given) tells whether a file of
  // that name was replaced.
  static BinaryFile Create(const std::wstring& path, bool* existed = nullptr);
  // Creates a file whose name must be free: nothing when it is taken, by a
  // file, a folder or a link (which is never followed). Raises as Create.
  static std::optional<BinaryFile> CreateNew(const std::wstring& path);

  BinaryFile(BinaryFile&&) noexcept = default;
  BinaryFile& operator=(BinaryFile&&) noexcept = default;

  Expected<uint32_t> TryRead(void* buffer, uint32_t size);
  Status TryReadExact(void* buffer, uint32_t size);
  Status TryWrite(const void* buffer, uint32_t size);
  Status TryWrite(const std::string& bytes);
  Status TrySeek(int64_t offset);

  // Reads up to `size` bytes; returns the count read (0 at the end).
  uint32_t Read(void* buffer, uint32_t size);
  // Reads exactly `size` bytes or raises an error that names this file.
  void ReadExact(void* buffer, uint32_t size);
  // Writes all `size` bytes or raises "Unable to write to <path>. <reason>".
  void Write(const void* buffer, uint32_t size);
  void Write(const std::string& bytes);
  int64_t Size() const;
  // Moves the position to `offset` from the start (for a header written last).
  void Seek(int64_t offset);
  const std::wstring& Path() const noexcept { return path_; }
  bool Open() const noexcept { return handle_.Valid(); }
  void Close();

 private:
  friend class TemporaryFile;
  BinaryFile(FileHandle handle, std::wstring path)
      : handle_(std::move(handle)), path_(std::move(path)) {}
  FileHandle handle_;
  std::wstring path_;
};

// Writes the whole byte string to a new file (small texts: scripts, lists).
void WriteWholeFile(const std::wstring& path, const std::string& bytes);
Status TryWriteWholeFile(const std::wstring& path, const std::string& bytes);
// Reads a whole small file; raises `Cannot open file` when it cannot be opened,
// and refuses one of 4 GiB or more.
std::string ReadWholeFile(const std::wstring& path);
// The same without raising: nullopt, with the message ReadWholeFile would raise
// in `problem`.
std::optional<std::string> ReadWholeFile(const std::wstring& path, std::wstring& problem);
Expected<std::string> TryReadWholeFile(const std::wstring& path);

// Offers `claim` the names a temporary file beside `target` may take, in a fixed
// order, until it takes one or fails for another reason than a name already in
// use (a file or folder of that name is never touched). Returns the name taken;
// nullopt leaves the reason in GetLastError().
std::optional<std::wstring> ClaimNameBeside(const std::wstring& target,
                                            const std::function<bool(const std::wstring&)>& claim);

// A new file beside `target`, written through File() and put in place by
// Commit(); deleted when it goes out of scope uncommitted, an exception passing
// through included. It is made with CREATE_NEW under a name that no file has,
// so an elevated program never opens or overwrites a file it did not create.
// Failures raise "<failure>. <reason>"; File() names the target in its own
// messages, as the user knows it.
class TemporaryFile {
 public:
  // `failure` defaults to `Cannot create file "<target>"`.
  explicit TemporaryFile(std::wstring target, std::wstring failure = {});
  static Expected<TemporaryFile> Make(std::wstring target, std::wstring failure = {});
  ~TemporaryFile();
  // A moved file is the new object's to delete or commit.
  TemporaryFile(TemporaryFile&& other) noexcept;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  BinaryFile& File() { return file_; }
  const std::wstring& Path() const noexcept { return path_; }
  const std::wstring& Target() const noexcept { return target_; }
  // Closes the file early, for a caller that renames another file onto Path();
  // the name stays this object's, deleted unless committed.
  void Close() { file_.Close(); }
  // Flushes the file to the disk, closes it and renames it over the target
  // (which may exist; a read-only one is refused). On failure the target is
  // as it was.
  void Commit();
  Status TryCommit();
  // Closes the file and hands its name to the caller, who deletes or renames
  // it from now on; this object no longer deletes it.
  std::wstring Keep();

 private:
  TemporaryFile(std::wstring target, std::wstring failure, std::wstring path, BinaryFile file)
      : target_(std::move(target)),
        failure_(std::move(failure)),
        path_(std::move(path)),
        file_(std::move(file)) {}

  std::wstring target_;
  std::wstring failure_;
  std::wstring path_;
  BinaryFile file_;
  bool committed_ = false;
};

// Replaces the file's bytes through a TemporaryFile, so a failure leaves the old
// file whole. Raises "Unable to write to <path>. <reason>".
void ReplaceFileBytes(const std::wstring& path, const std::string& bytes);
Status TryReplaceFileBytes(const std::wstring& path, const std::string& bytes);
