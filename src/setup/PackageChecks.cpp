#include "setup/PackageChecks.h"

#include <unordered_set>

#include "formats/PackageError.h"
#include "formats/ScriptKeys.h"
#include "setup/SetupState.h"
#include "support/Failure.h"
#include "support/PathNames.h"

namespace {
constexpr wchar_t kNothingInstalled[] = L" Ничего не установлено.";

// One spelling per target: "\" for "/", upper case.
std::wstring TargetKey(std::wstring name) {
  for (wchar_t& c : name)
    if (c == L'/')
      c = L'\\';
  return FoldedPath(std::move(name));
}
}  // namespace

Status CheckInstallFolder(const std::wstring& folder) {
  if (folder.empty())
    return Failure(L"Unable to create directory");
  if (!IsAbsolutePath(folder))
    return Failure(L"Папка установки «" + folder +
                   L"» должна быть полным путём с буквой диска, например "
                   L"C:\\Program Files\\Программа.");
  if (!IsPortableAbsolutePath(folder))
    return Failure(L"Папку установки «" + folder +
                   L"» нельзя создать: в её пути есть имя, недопустимое в Windows (имя "
                   L"устройства, точка или пробел в конце, запрещённый знак).");
  return {};
}

Status CheckFileRows(const SetupState& state, int64_t payloadSize) {
  std::unordered_set<std::wstring> files;
  std::unordered_set<std::wstring> folders;
  files.reserve(state.FileList.size());
  int64_t total = 0;
  for (size_t n = 1; n < state.FileList.size(); ++n) {
    const ScriptFileRow& file = state.FileList[n];
    if (!IsSafeRelativeName(file.FileName))
      return PackageFailure(L"Пакет повреждён: сценарий установки называет файл «" + file.FileName +
                            L"», а такое имя нельзя создать в папке установки." +
                            kNothingInstalled);
    if (file.FileSize < 0)
      return PackageFailure(L"Пакет повреждён: у файла «" + file.FileName +
                            L"» в сценарии установки отрицательный размер." + kNothingInstalled);
    total += file.FileSize;
    const std::wstring key = TargetKey(file.FileName);
    if (files.count(key))
      return PackageFailure(L"Пакет повреждён: сценарий установки дважды называет файл «" +
                            file.FileName + L"»." + kNothingInstalled);
    if (folders.count(key))
      return PackageFailure(L"Пакет повреждён: «" + file.FileName +
                            L"» в сценарии установки — и файл, и папка." + kNothingInstalled);
    for (size_t slash = key.find(L'\\'); slash != std::wstring::npos;
         slash = key.find(L'\\', slash + 1)) {
      const std::wstring folder = key.substr(0, slash);
      if (files.count(folder))
        return PackageFailure(L"Пакет повреждён: «" + file.FileName +
                              L"» в сценарии установки лежит в папке, которая названа и файлом." +
                              kNothingInstalled);
      folders.insert(folder);
    }
    files.insert(key);
  }
  if (total != payloadSize)
    return PackageFailure(L"Пакет повреждён: в файле «" + std::wstring(script::kPayloadFile) +
                          L"» " + std::to_wstring(payloadSize) +
                          L" байт, а сценарий установки описывает " + std::to_wstring(total) +
                          L" байт." + kNothingInstalled);
  return {};
}
