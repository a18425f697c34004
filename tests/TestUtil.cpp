#include "TestUtil.h"

#include <algorithm>
#include <atomic>
#include <string_view>

#include "support/CodePage.h"
#include "support/Crc32.h"
#include "support/Handle.h"

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

TempDir::~TempDir() {
  RemoveTree(path_);
}

void WriteTextFile(const std::wstring& path, const std::string& bytes) {
  WriteWholeFile(path, bytes);
}

std::string ReadFileBytes(const std::wstring& path) {
  return ReadWholeFile(path);
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (!find.Valid())
    return names;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      names.push_back(entry.cFileName);
  } while (FindNextFileW(find.Get(), &entry));
  std::sort(names.begin(), names.end());
  return names;
}

namespace {
void Walk(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW entry;
  FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (!find.Valid())
    return;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..")
      continue;
    out.push_back(prefix + name);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      Walk(folder + L"\\" + name, prefix + name + L"\\", out);
  } while (FindNextFileW(find.Get(), &entry));
}
}  // namespace

std::vector<std::wstring> TreeOf(const std::wstring& folder) {
  std::vector<std::wstring> tree;
  Walk(folder, L"", tree);
  std::sort(tree.begin(), tree.end());
  return tree;
}

std::string Narrow(const std::wstring& text) {
  int bytes =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
  std::string out(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), out.data(), bytes, nullptr,
                      nullptr);
  return out;
}

ProfileFile LoadProfileText(const std::wstring& text) {
  const TempDir dir;
  const std::wstring path = dir / L"profile.ini";
  WriteTextFile(path, ToCp1251(text));
  return ProfileFile::Load(path);
}

std::wstring ProfileText(const ProfileFile& profile) {
  return FromCp1251(profile.ToBytes());
}

ScratchKey::ScratchKey() : path_(L"Software\\KovrinTests\\" + UniqueSuffix()) {
  HKEY key;
  RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  RegCloseKey(key);
}

ScratchKey::~ScratchKey() {
  RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

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
  RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                 sizeof value);
  RegCloseKey(key);
}

DWORD RunAndWait(const std::wstring& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return 9999;
  const KernelHandle running(process.hProcess), thread(process.hThread);
  WaitForSingleObject(running.Get(), 30000);
  DWORD code = 0;
  GetExitCodeProcess(running.Get(), &code);
  return code;
}

std::wstring ReadRegText(HKEY root, const std::wstring& key, const wchar_t* name) {
  RegKey handle;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, handle.Put()) != ERROR_SUCCESS)
    return L"<no key>";
  wchar_t value[2048] = L"";
  DWORD bytes = sizeof value - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(handle.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value),
                       &bytes) != ERROR_SUCCESS)
    return L"<no value>";
  return type == REG_SZ ? value : L"<not REG_SZ>";
}

namespace {
constexpr wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

std::vector<BYTE> PendingRenameBytes(bool* had) {
  std::vector<BYTE> bytes;
  DWORD size = 0;
  const bool found = RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames,
                                  RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &size) == ERROR_SUCCESS;
  if (had)
    *had = found;
  if (!found || size == 0)
    return bytes;
  bytes.resize(size);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames, RRF_RT_REG_MULTI_SZ,
                   nullptr, bytes.data(), &size) != ERROR_SUCCESS)
    bytes.clear();
  else
    bytes.resize(size);
  return bytes;
}

std::wstring WithoutNtPrefix(std::wstring path) {
  if (path.rfind(L"\\??\\", 0) == 0)
    path.erase(0, 4);
  if (!path.empty() && path[0] == L'!')  // "replace existing" marks the target
    path.erase(0, 1);
  if (path.rfind(L"\\??\\", 0) == 0)
    path.erase(0, 4);
  return path;
}
}  // namespace

std::vector<std::pair<std::wstring, std::wstring>> PendingFileRenames() {
  const std::vector<BYTE> bytes = PendingRenameBytes(nullptr);
  std::vector<std::wstring> strings;
  const wchar_t* text = reinterpret_cast<const wchar_t*>(bytes.data());
  const size_t count = bytes.size() / sizeof(wchar_t);
  // Pairs of strings; an empty string is a valid "to", so the list is read by count.
  for (size_t i = 0; i < count;) {
    const size_t end = std::wstring_view(text + i, count - i).find(L'\0');
    const size_t length = end == std::wstring_view::npos ? count - i : end;
    strings.emplace_back(text + i, length);
    i += length + 1;
  }
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  for (size_t i = 0; i + 1 < strings.size(); i += 2)
    pairs.emplace_back(WithoutNtPrefix(strings[i]), WithoutNtPrefix(strings[i + 1]));
  return pairs;
}

ScopedPendingRenames::ScopedPendingRenames() : before_(PendingRenameBytes(&had_)) {}

ScopedPendingRenames::~ScopedPendingRenames() {
  RegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, key.Put()) !=
      ERROR_SUCCESS)
    return;
  if (had_)
    RegSetValueExW(key.Get(), kPendingRenames, 0, REG_MULTI_SZ, before_.data(),
                   static_cast<DWORD>(before_.size()));
  else
    RegDeleteValueW(key.Get(), kPendingRenames);
}

bool RegKeyExists(HKEY root, const std::wstring& key) {
  RegKey handle;
  return RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, handle.Put()) == ERROR_SUCCESS;
}

ScopedEnv::ScopedEnv(std::wstring name, const std::wstring& value) : name_(std::move(name)) {
  wchar_t buffer[4096];
  const DWORD length = GetEnvironmentVariableW(name_.c_str(), buffer, 4096);
  had_ = length > 0 && length < 4096;
  if (had_)
    old_.assign(buffer, length);
  SetEnvironmentVariableW(name_.c_str(), value.c_str());
}

ScopedEnv::~ScopedEnv() {
  SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr);
}

std::wstring CrcKeyText(const std::string& bytes) {
  wchar_t text[9];
  swprintf(text, 9, L"%08X", static_cast<unsigned>(Crc32(bytes.data(), bytes.size())));
  return text;
}

namespace {
void Put32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}
}  // namespace

std::string AsSigned(std::string packed, bool pe32Plus) {
  const size_t pe = 0x80;
  const size_t optional = pe + 24;
  packed[0] = 'M';
  packed[1] = 'Z';
  Put32(packed, 0x3C, pe);
  packed.replace(pe, 4, std::string("PE\0\0", 4));
  packed[pe + 20] = static_cast<char>(pe32Plus ? 240 : 224);  // SizeOfOptionalHeader
  packed[pe + 21] = 0;
  packed[optional] = 0x0B;
  packed[optional + 1] = pe32Plus ? 0x02 : 0x01;
  const size_t directories = optional + (pe32Plus ? 112 : 96);
  Put32(packed, directories - 4, 16);  // NumberOfRvaAndSizes
  packed.append((8 - packed.size() % 8) % 8, '\0');
  const size_t table = packed.size();
  std::string certificate(72, '\x5A');
  Put32(certificate, 0, static_cast<uint32_t>(certificate.size()));  // WIN_CERTIFICATE
  packed += certificate;
  Put32(packed, directories + 4 * 8, static_cast<uint32_t>(table));
  Put32(packed, directories + 4 * 8 + 4, static_cast<uint32_t>(certificate.size()));
  return packed;
}
