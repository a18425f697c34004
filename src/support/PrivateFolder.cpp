#include "support/PrivateFolder.h"

#include <sddl.h>

#include "support/Handle.h"

namespace {
constexpr DWORD kLongPath = 32768;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kNoFollow = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;

bool Append(wchar_t* buffer, DWORD& length, const wchar_t* text) {
  for (; *text; ++text) {
    if (length + 1 >= kLongPath)
      return false;
    buffer[length++] = *text;
  }
  buffer[length] = 0;
  return true;
}

bool IsDotName(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// The path the system reports for the handle; false when it cannot tell.
bool FinalPath(HANDLE handle, wchar_t* buffer) {
  const DWORD length = GetFinalPathNameByHandleW(handle, buffer, kLongPath, 0);
  return length > 0 && length < kLongPath;
}

// Deletes the open entry, clearing a read-only attribute first.
void DeleteOpen(HANDLE entry, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    FILE_BASIC_INFO basic{};
    // NORMAL stands alone: the system refuses it beside other attributes.
    const DWORD rest = attributes & ~FILE_ATTRIBUTE_READONLY;
    basic.FileAttributes = rest ? rest : FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic);
  }
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof disposition);
}

// The state of one removal: a single path buffer grown and cut back as the
// walk descends, and the root's own final path to compare each handle with.
struct Walk {
  wchar_t* path;
  wchar_t* root;
  wchar_t* scratch;
  DWORD rootLength;

  bool Inside(HANDLE handle) {
    if (!FinalPath(handle, scratch))
      return false;
    const int length = lstrlenW(scratch);
    return static_cast<DWORD>(length) > rootLength && scratch[rootLength] == L'\\' &&
           CompareStringOrdinal(scratch, static_cast<int>(rootLength), root,
                                static_cast<int>(rootLength), TRUE) == CSTR_EQUAL;
  }

  // Opens what `path` names without following a link; null when it leads
  // outside the root (a link the system does not report as one).
  FileHandle Open(DWORD access, DWORD& attributes) {
    FileHandle entry(CreateFileW(path, access | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                 OPEN_EXISTING, kNoFollow, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!entry || !GetFileInformationByHandle(entry.Get(), &information) || !Inside(entry.Get()))
      return FileHandle();
    attributes = information.dwFileAttributes;
    return entry;
  }

  // Folders are emptied first, with no handle of ours open on them (listing
  // a folder that a delete handle holds is refused); then the entry is opened
  // again, checked again and deleted through that handle.
  void RemoveEntry(DWORD length) {
    DWORD attributes = 0;
    if (!Open(0, attributes))
      return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      RemoveChildren(length);
    const FileHandle entry = Open(DELETE | FILE_WRITE_ATTRIBUTES, attributes);
    if (entry)
      DeleteOpen(entry.Get(), attributes);
  }

  void RemoveChildren(DWORD length) {
    DWORD at = length;
    if (!Append(path, at, L"\\*"))
      return;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW(path, &found));
    if (!search)
      return;
    do {
      if (IsDotName(found.cFileName))
        continue;
      DWORD child = length;
      if (Append(path, child, L"\\") && Append(path, child, found.cFileName))
        RemoveEntry(child);
    } while (FindNextFileW(search.Get(), &found));
    path[length] = 0;
  }
};
}  // namespace

DWORD PrivateTempRoot(wchar_t* buffer, DWORD size) {
  using TempPath = DWORD(WINAPI*)(DWORD, LPWSTR);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto tempPath2 = kernel ? reinterpret_cast<TempPath>(
                                reinterpret_cast<void*>(GetProcAddress(kernel, "GetTempPath2W")))
                          : nullptr;
  const DWORD length = tempPath2 ? tempPath2(size, buffer) : GetTempPathW(size, buffer);
  return length < size ? length : 0;
}

DWORD CreatePrivateFolder(const wchar_t* path) {
  KernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
    return GetLastError();
  alignas(TOKEN_USER) unsigned char userBuffer[256];
  DWORD size = 0;
  if (!GetTokenInformation(token.Get(), TokenUser, userBuffer, sizeof userBuffer, &size))
    return GetLastError();
  wchar_t* sidText = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(userBuffer)->User.Sid, &sidText))
    return GetLastError();
  const LocalMemory<wchar_t*> sidOwner(sidText);
  // Protected: nothing inherited from the parent; full control for the user,
  // Administrators and SYSTEM, passed on to what is made inside.
  wchar_t sddl[512];
  DWORD length = 0;
  sddl[0] = 0;
  bool fits = true;
  const wchar_t* const parts[] = {L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;", sidText,
                                  L")"};
  for (const wchar_t* part : parts)
    for (const wchar_t* c = part; *c && fits; ++c) {
      fits = length + 1 < 512;
      if (fits)
        sddl[length++] = *c;
    }
  sddl[length] = 0;
  if (!fits)
    return ERROR_INSUFFICIENT_BUFFER;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                            nullptr))
    return GetLastError();
  const LocalMemory<PSECURITY_DESCRIPTOR> descriptorOwner(descriptor);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  return CreateDirectoryW(path, &attributes) ? ERROR_SUCCESS : GetLastError();
}

bool RemoveTreeWithoutLinks(const wchar_t* folder) {
  const DWORD attributes = GetFileAttributesW(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
  HANDLE heap = GetProcessHeap();
  wchar_t* buffers = static_cast<wchar_t*>(HeapAlloc(heap, 0, 3 * kLongPath * sizeof(wchar_t)));
  if (!buffers)
    return false;
  Walk walk{buffers, buffers + kLongPath, buffers + 2 * kLongPath, 0};
  DWORD length = 0;
  bool ok = Append(walk.path, length, folder);
  // The folder itself: a link is removed as a link; a real folder is the root
  // every entry's handle must stay inside.
  DWORD rootAttributes = 0;
  {
    const FileHandle root(CreateFileW(folder, FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                      OPEN_EXISTING, kNoFollow, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    ok = ok && root && GetFileInformationByHandle(root.Get(), &information) &&
         FinalPath(root.Get(), walk.root);
    rootAttributes = ok ? information.dwFileAttributes : 0;
  }
  if (ok && !(rootAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    walk.rootLength = static_cast<DWORD>(lstrlenW(walk.root));
    walk.RemoveChildren(length);
  }
  if (ok) {
    const FileHandle root(CreateFileW(folder, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                      kShareAll, nullptr, OPEN_EXISTING, kNoFollow, nullptr));
    if (root)
      DeleteOpen(root.Get(), rootAttributes);
  }
  HeapFree(heap, 0, buffers);
  return GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES;
}
