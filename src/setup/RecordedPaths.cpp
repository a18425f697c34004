#include "setup/RecordedPaths.h"

#include "support/CodePage.h"
#include "support/PathNames.h"

Expected<std::wstring> RecordableFolder(const std::wstring& folder, const wchar_t* what,
                                        ShortPathFunction shortPath) {
  if (Cp1251CanHold(folder))
    return folder;
  const std::wstring shortForm = shortPath(folder);
  if (shortForm != folder && Cp1251CanHold(shortForm))
    return shortForm;
  return Failure(std::wstring(what) + L" «" + folder +
                 L"» нельзя записать в сценарий удаления: в её имени есть знаки, которых нет в "
                 L"кодировке Windows-1251, а короткого имени (8.3) у неё нет. Выберите папку с "
                 L"другим именем.");
}

Expected<std::wstring> RecordableFolder(const std::wstring& folder, const wchar_t* what) {
  return RecordableFolder(folder, what, &ShortPathName);
}
