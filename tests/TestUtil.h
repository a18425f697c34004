#pragma once
// Helpers for tests that use the real file system and registry under Wine.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "Scratch.h"  // RemoveTree, WritePatternFile, MakeSparseFile
#include "support/FileSystem.h"
#include "support/ProfileFile.h"

// A fresh folder under %TEMP% removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& Path() const { return path_; }  // no trailing "\"
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

void WriteTextFile(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
// Names of the files directly in a folder (no folders), sorted.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
// Every file and folder below `folder`, relative to it, sorted ("sub", "sub\\a.txt").
std::vector<std::wstring> TreeOf(const std::wstring& folder);
std::string Narrow(const std::wstring& text);  // UTF-8, for test messages
// `text` saved as a Windows-1251 profile file and loaded back; the profile's
// bytes read as text.
ProfileFile LoadProfileText(const std::wstring& text);
std::wstring ProfileText(const ProfileFile& profile);
// `image` (at least 1 KB) as an Authenticode signer leaves it: its first bytes a
// PE32 (or PE32+) header, zero padding up to an 8-byte boundary, then a
// certificate table that the security directory names.
std::string AsSigned(std::string image, bool pe32Plus = false);
// "89ABCDEF": the CRC-32 of `bytes` as Setup.ini and Uninst.ini store it.
std::wstring CrcKeyText(const std::string& bytes);

// A registry key under HKCU\Software\KovrinTests\<unique> deleted at the end.
class ScratchKey {
 public:
  ScratchKey();
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;
  const std::wstring& Path() const { return path_; }
  void SetString(const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ);
  void SetDword(const std::wstring& name, DWORD value);

 private:
  std::wstring path_;
};

// A string value of a registry key, or "<no key>", "<no value>", "<not REG_SZ>".
std::wstring ReadRegText(HKEY root, const std::wstring& key, const wchar_t* name);
// Starts the command line, waits up to 30 s and gives its exit code (9999 when
// it could not start).
DWORD RunAndWait(const std::wstring& commandLine);
bool RegKeyExists(HKEY root, const std::wstring& key);

// The renames and deletions Windows carries out at its next restart, as pairs
// (from, to; "to" empty for a deletion) with the "\\??\\" prefixes removed. A test
// that schedules some keeps a ScopedPendingRenames, which puts the list back.
std::vector<std::pair<std::wstring, std::wstring>> PendingFileRenames();
class ScopedPendingRenames {
 public:
  ScopedPendingRenames();
  ~ScopedPendingRenames();
  ScopedPendingRenames(const ScopedPendingRenames&) = delete;
  ScopedPendingRenames& operator=(const ScopedPendingRenames&) = delete;

 private:
  std::vector<BYTE> before_;
  bool had_ = false;
};

// Sets an environment variable for the test's lifetime and restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(std::wstring name, const std::wstring& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::wstring name_, old_;
  bool had_;
};
