#pragma once
// Files and folders: existence tests, folder creation, sizes, and a checked
// binary file that raises KovrinError instead of failing silently.

#include <cstdint>
#include <string>
#include <vector>

#include "support/Handle.h"

bool FileExists(const std::wstring& path);
// True for an existing folder; a trailing "\" is allowed; a file gives false.
bool FolderExists(const std::wstring& path);
// Creates the folder and its missing parents. An empty path raises
// "Unable to create directory"; any other failure returns false. Each folder
// it made is appended to `made`, parents first.
bool ForceFolder(const std::wstring& path, std::vector<std::wstring>* made = nullptr);

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
class BinaryFile {
 public:
  // Opens for reading, others may read too. Raises `Cannot open file "…". …`.
  static BinaryFile OpenRead(const std::wstring& path);
  // Creates or replaces for writing; a read-only file is never replaced. Raises
  // `Cannot create file "…". …`. `existed` (if given) tells whether a file of
  // that name was replaced.
  static BinaryFile Create(const std::wstring& path, bool* existed = nullptr);

  BinaryFile(BinaryFile&&) noexcept = default;
  BinaryFile& operator=(BinaryFile&&) noexcept = default;

  // Reads up to `size` bytes; returns the count read (0 at the end).
  uint32_t Read(void* buffer, uint32_t size);
  // Reads exactly `size` bytes or raises an error that names this file.
  void ReadExact(void* buffer, uint32_t size);
  // Writes all `size` bytes or raises "Unable to write to <path>. <reason>".
  void Write(const void* buffer, uint32_t size);
  int64_t Size() const;
  // Moves the position to `offset` from the start (for a header written last).
  void Seek(int64_t offset);
  const std::wstring& Path() const noexcept { return path_; }
  void Close();

 private:
  BinaryFile(FileHandle handle, std::wstring path)
      : handle_(std::move(handle)), path_(std::move(path)) {}
  FileHandle handle_;
  std::wstring path_;
};

// Writes the whole byte string to a new file (small texts: scripts, lists).
void WriteWholeFile(const std::wstring& path, const std::string& bytes);
// Reads a whole small file; raises `Cannot open file` when it cannot be opened.
std::string ReadWholeFile(const std::wstring& path);
