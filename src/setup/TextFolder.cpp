#include "setup/TextFolder.h"

#include <windows.h>

#include <vector>

#include "support/Error.h"
#include "support/PrivateFolder.h"

namespace {
constexpr int kFreshNames = 100;

// The folders this program made; removed when it ends, however it ends
// normally.
class MadeFolders {
 public:
  ~MadeFolders() {
    for (const std::wstring& folder : folders_) RemoveTreeWithoutLinks(folder.c_str());
  }
  bool Holds(const std::wstring& folder) const {
    for (const std::wstring& made : folders_)
      if (CompareStringOrdinal(made.c_str(), -1, folder.c_str(), -1, TRUE) == CSTR_EQUAL)
        return true;
    return false;
  }
  void Add(const std::wstring& folder) { folders_.push_back(folder); }

 private:
  std::vector<std::wstring> folders_;
};

MadeFolders& Made() {
  static MadeFolders made;
  return made;
}

Expected<std::wstring> TempRoot() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = PrivateTempRoot(buffer, MAX_PATH + 1);
  if (length == 0)
    return LastErrorFailure(L"Unable to find the temporary folder");
  return std::wstring(buffer, length);
}
}  // namespace

Expected<std::wstring> MakeTextFolder(const std::wstring& name) {
  const Expected<std::wstring> root = TempRoot();
  if (!root)
    return root.Error();
  const std::wstring wanted = *root + L"Kovrin_" + name;
  if (Made().Holds(wanted))
    return wanted;
  DWORD code = CreatePrivateFolder(wanted.c_str());
  if (code == ERROR_ALREADY_EXISTS && RemoveTreeWithoutLinks(wanted.c_str()))
    code = CreatePrivateFolder(wanted.c_str());
  std::wstring folder = wanted;
  for (int n = 1; n <= kFreshNames && code == ERROR_ALREADY_EXISTS; ++n) {
    folder = wanted + L"." + std::to_wstring(n);
    code = CreatePrivateFolder(folder.c_str());
  }
  if (code != ERROR_SUCCESS)
    return SystemFailure(L"Unable to create directory \"" + folder + L"\"", code);
  Made().Add(folder);
  return folder;
}
