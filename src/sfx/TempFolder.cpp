#include "sfx/TempFolder.h"

#include <cstdint>

#include "support/PrivateFolder.h"

namespace {
constexpr int kNameAttempts = 100;
constexpr int kRemoveAttempts = 30;
constexpr DWORD kRemovePauseMs = 100;

void AppendHex(PathText& text, uint32_t value) {
  for (int shift = 28; shift >= 0; shift -= 4)
    text.Append(L"0123456789ABCDEF"[(value >> shift) & 0xFu]);
}

// Unpredictable where the system can say (RtlGenRandom), else the clock and
// the process: the folder's DACL, not its name, keeps others out.
uint32_t NameSeed() {
  using GenRandom = BOOLEAN(WINAPI*)(PVOID, ULONG);
  const HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
  const auto random = advapi ? reinterpret_cast<GenRandom>(reinterpret_cast<void*>(
                                   GetProcAddress(advapi, "SystemFunction036")))
                             : nullptr;
  uint32_t seed = 0;
  if (random && random(&seed, sizeof seed))
    return seed;
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<uint32_t>(counter.QuadPart) ^ (GetCurrentProcessId() << 16);
}
}  // namespace

DWORD CreateUniqueTempFolder(PathText& folder) {
  PathText temp;
  const DWORD length = PrivateTempRoot(temp.Data(), static_cast<DWORD>(temp.Size()));
  if (length == 0)
    return GetLastError() ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  temp.Measure();
  uint32_t seed = NameSeed();
  DWORD error = ERROR_ALREADY_EXISTS;
  for (int attempt = 0; attempt < kNameAttempts && error == ERROR_ALREADY_EXISTS; ++attempt) {
    seed = seed * 1664525u + 1013904223u;
    folder = PathText(temp.Get());
    if (!folder.Append(L"KovrinSetup-")) {
      return ERROR_FILENAME_EXCED_RANGE;
    }
    AppendHex(folder, seed);
    // A new folder only: an existing name, planted or not, is never reused.
    error = CreatePrivateFolder(folder.Get());
  }
  if (error != ERROR_SUCCESS)
    folder = PathText(temp.Get());
  return error;
}

bool RemoveFolderTree(const wchar_t* folder) {
  for (int attempt = 0; attempt < kRemoveAttempts; ++attempt) {
    if (RemoveTreeWithoutLinks(folder))
      return true;
    Sleep(kRemovePauseMs);
  }
  return false;
}
