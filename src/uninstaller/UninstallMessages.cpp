#include "uninstaller/UninstallMessages.h"

std::wstring UninstallQuestion(const std::wstring& programName) {
  return L"Удалить программу «" + programName + L"» со всеми её компонентами?";
}

std::wstring UninstallReport(const std::wstring& programName, const UninstallResult& result) {
  if (!result.ScriptFound)
    return L"Файл сценария удаления не найден; удалена только запись программы «" + programName +
           L"» в списке установленных программ.";
  std::wstring text = UninstallComplete(result)
                          ? L"Программа «" + programName + L"» удалена."
                          : L"Программа «" + programName + L"» удалена не полностью.";
  text += L"\r\n\r\nУдалено файлов: " + std::to_wstring(result.FilesRemoved) + L", ярлыков: " +
          std::to_wstring(result.LinksRemoved) + L".";

  constexpr size_t kShown = 15;
  auto list = [&](const wchar_t* heading, const std::vector<std::wstring>& items) {
    if (items.empty())
      return;
    text += L"\r\n\r\n";
    text += heading;
    for (size_t i = 0; i < items.size() && i < kShown; ++i) text += L"\r\n" + items[i];
    if (items.size() > kShown)
      text += L"\r\n… и ещё " + std::to_wstring(items.size() - kShown);
  };
  list(L"Не удалось удалить (запись о программе оставлена, чтобы удаление можно было повторить):",
       result.NotRemoved);
  list(L"Оставлены, так как изменены после установки:", result.Changed);
  list(L"Оставлены, так как их установила и другая программа в этой папке:", result.Shared);
  list(L"Пропущены: запись указывает за пределы папки программы или не на ярлык:", result.Skipped);
  list(L"Заняты другими программами и будут удалены при перезагрузке компьютера:",
       result.AtRestart);
  list(L"Уже отсутствовали:", result.Missing);
  list(L"Папки оставлены, так как в них есть другие файлы:", result.FoldersKept);
  return text;
}
