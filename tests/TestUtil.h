#pragma once
// Helpers for tests that use the real file system and registry under Wine.

#include <windows.h>

#include <string>

#include "support/FileSystem.h"

// A fresh folder under %TEMP% removed with everything in it at the end of the test.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& Path() const { return path_; }          // no trailing "\"
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
  std::wstring path_;
};

void RemoveTree(const std::wstring& path);
void WriteTextFile(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
// A file of `size` bytes whose content depends on `seed`, written in pieces.
void WritePatternFile(const std::wstring& path, int64_t size, unsigned seed);
std::string Narrow(const std::wstring& text);  // UTF-8, for test messages

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
