#include "setup/FileHolders.h"

#include <windows.h>

#include <restartmanager.h>

#include "support/Handle.h"

namespace {
using StartSession = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
using EndSession = DWORD(WINAPI*)(DWORD);
using RegisterResources = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT,
                                         LPCWSTR*);
using GetList = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, LPDWORD);

template <typename Function>
Function Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

ModuleHandle LoadFromSystemFolder(const wchar_t* name) {
  std::wstring folder(MAX_PATH, L'\0');
  const UINT length = GetSystemDirectoryW(folder.data(), MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return ModuleHandle();
  folder.resize(length);
  return ModuleHandle(
      LoadLibraryExW((folder + L"\\" + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

// A Restart Manager session, ended when it goes out of scope.
class Session {
 public:
  Session(StartSession start, EndSession end) : end_(end) {
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    open_ = start(&handle_, 0, key) == ERROR_SUCCESS;
  }
  ~Session() {
    if (open_)
      end_(handle_);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool Open() const { return open_; }
  DWORD Handle() const { return handle_; }

 private:
  EndSession end_;
  DWORD handle_ = 0;
  bool open_ = false;
};
}  // namespace

std::vector<std::wstring> ProgramsHoldingFile(const std::wstring& path) {
  std::vector<std::wstring> names;
  const ModuleHandle module = LoadFromSystemFolder(L"rstrtmgr.dll");
  if (!module)
    return names;
  const auto start = Entry<StartSession>(module.Get(), "RmStartSession");
  const auto end = Entry<EndSession>(module.Get(), "RmEndSession");
  const auto add = Entry<RegisterResources>(module.Get(), "RmRegisterResources");
  const auto list = Entry<GetList>(module.Get(), "RmGetList");
  if (!start || !end || !add || !list)
    return names;
  Session session(start, end);
  if (!session.Open())
    return names;
  LPCWSTR files[] = {path.c_str()};
  if (add(session.Handle(), 1, files, 0, nullptr, 0, nullptr) != ERROR_SUCCESS)
    return names;
  // The list may grow between the two calls: ask again a few times.
  std::vector<RM_PROCESS_INFO> processes;
  for (int attempt = 0; attempt < 3; ++attempt) {
    UINT needed = 0;
    UINT count = static_cast<UINT>(processes.size());
    DWORD reasons = 0;
    const DWORD status = list(session.Handle(), &needed, &count,
                              processes.empty() ? nullptr : processes.data(), &reasons);
    if (status == ERROR_MORE_DATA) {
      processes.resize(needed);
      continue;
    }
    if (status != ERROR_SUCCESS)
      return names;
    for (UINT i = 0; i < count && i < processes.size(); ++i) {
      std::wstring name(processes[i].strAppName);
      if (!name.empty())
        names.push_back(std::move(name));
    }
    break;
  }
  return names;
}
