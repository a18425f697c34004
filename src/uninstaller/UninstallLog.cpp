#include "uninstaller/UninstallLog.h"

#include "uninstaller/CommandLine.h"

int UninstallExitCode(const UninstallResult& result) {
  if (!UninstallComplete(result))
    return kUninstallSomethingKept;
  return result.AtRestart.empty() ? kUninstallComplete : kUninstallRestartToFinish;
}

void LogUninstallResult(LogFile& log, const UninstallResult& result) {
  if (!result.ScriptFound)
    log.Line(L"Файл сценария удаления не найден: удалена только запись в реестре");
  for (const std::wstring& item : result.Missing) log.Line(L"Уже отсутствует: " + item);
  for (const std::wstring& item : result.Changed)
    log.Line(L"Оставлен (изменён после установки): " + item);
  for (const std::wstring& item : result.Shared)
    log.Line(L"Оставлен (нужен другой программе): " + item);
  for (const std::wstring& item : result.Skipped) log.Line(L"Пропущена строка записи: " + item);
  for (const std::wstring& item : result.AtRestart)
    log.Line(L"Будет удалён при перезагрузке (занят): " + item);
  for (const std::wstring& item : result.NotRemoved) log.Line(L"Не удалено: " + item);
  for (const std::wstring& folder : result.FoldersKept)
    log.Line(L"Папка оставлена (в ней есть другие файлы): " + folder);
  const int code = UninstallExitCode(result);
  log.Line(L"Итог: код " + std::to_wstring(code) +
           (code == kUninstallComplete ? L", удалено всё"
            : code == kUninstallRestartToFinish ? L", остальное удалится при перезагрузке"
                                                : L", удалено не всё"));
}
