#include "setup/FileInUse.h"

#include <windows.h>

bool IsFileInUseError(unsigned long code) {
  return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
         code == ERROR_ACCESS_DENIED;
}

std::wstring FileInUseText(const std::wstring& path, const std::vector<std::wstring>& holders) {
  std::wstring text = L"Файл «" + path + L"» занят другой программой";
  if (!holders.empty()) {
    text += L": ";
    for (size_t i = 0; i < holders.size(); ++i) text += (i ? L", " : L"") + holders[i];
  }
  return text + L".";
}

std::wstring FileInUseQuestion(const std::wstring& path, const std::vector<std::wstring>& holders) {
  return FileInUseText(path, holders) +
         L"\r\n\r\nЗакройте эту программу и нажмите «Повторить», чтобы продолжить, или «Отмена», "
         L"чтобы прервать установку (всё, что она уже сделала, будет отменено).";
}

Failure FileInUseFailure(const std::wstring& path, const std::vector<std::wstring>& holders) {
  return Failure(FileInUseText(path, holders) + L" Установка прервана.", FailureKind::FileInUse);
}
