#include "TestUtil.h"

#include <atomic>
#include <vector>

namespace {
std::wstring UniqueSuffix() {
  static std::atomic<unsigned> counter{0};
  return std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount()) + L"_" +
         std::to_wstring(counter++);
}
}  // namespace

TempDir::TempDir() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  path_ = std::wstring(base) + L"kovrin_test_" + UniqueSuffix();
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..")
        continue;
      std::wstring full = path + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

void WriteTextFile(const std::wstring& path, const std::string& bytes) { WriteWholeFile(path, bytes); }

std::string ReadFileBytes(const std::wstring& path) { return ReadWholeFile(path); }

void WritePatternFile(const std::wstring& path, int64_t size, unsigned seed) {
  BinaryFile file = BinaryFile::Create(path);
  std::vector<char> chunk(1 << 20);
  unsigned state = seed * 2654435761u + 1;
  int64_t left = size;
  while (left > 0) {
    uint32_t piece = static_cast<uint32_t>(left < (int64_t)chunk.size() ? left : chunk.size());
    for (uint32_t i = 0; i < piece; ++i) {
      state = state * 1103515245u + 12345u;
      chunk[i] = static_cast<char>(state >> 16);
    }
    file.Write(chunk.data(), piece);
    left -= piece;
  }
}

std::string Narrow(const std::wstring& text) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
  std::string out(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), out.data(), bytes, nullptr, nullptr);
  return out;
}

ScratchKey::ScratchKey() : path_(L"Software\\KovrinTests\\" + UniqueSuffix()) {
  HKEY key;
  RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegCloseKey(key);
}

ScratchKey::~ScratchKey() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

void ScratchKey::SetString(const std::wstring& name, const std::wstring& value, DWORD type) {
  HKEY key;
  RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_SET_VALUE, &key);
  RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void ScratchKey::SetDword(const std::wstring& name, DWORD value) {
  HKEY key;
  RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_SET_VALUE, &key);
  RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}
