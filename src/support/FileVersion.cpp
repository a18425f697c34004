#include "support/FileVersion.h"

#include <windows.h>

#include <vector>

#include "support/DllSearch.h"
#include "support/Handle.h"

namespace {
// version.dll is not a known DLL: loaded from System32 by its full path when
// first needed, never imported (an import would be found beside the program).
struct VersionFunctions {
  using SizeFunction = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  using InfoFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
  using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

  VersionFunctions() : module(LoadSystemLibrary(L"version.dll")) {
    if (!module)
      return;
    size = Find<SizeFunction>("GetFileVersionInfoSizeW");
    info = Find<InfoFunction>("GetFileVersionInfoW");
    query = Find<QueryFunction>("VerQueryValueW");
  }
  template <class F>
  F Find(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module.Get(), name)));
  }
  bool Ready() const { return size && info && query; }

  ModuleHandle module;
  SizeFunction size = nullptr;
  InfoFunction info = nullptr;
  QueryFunction query = nullptr;
};
}  // namespace

std::optional<uint64_t> ProgramFileVersion(const std::wstring& path) {
  static const VersionFunctions version;
  if (!version.Ready())
    return std::nullopt;
  DWORD ignored = 0;
  const DWORD size = version.size(path.c_str(), &ignored);
  if (size == 0)
    return std::nullopt;
  std::vector<char> block(size);
  if (!version.info(path.c_str(), 0, size, block.data()))
    return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!version.query(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO) || info->dwSignature != VS_FFI_SIGNATURE)
    return std::nullopt;
  return (static_cast<uint64_t>(info->dwFileVersionMS) << 32) | info->dwFileVersionLS;
}
