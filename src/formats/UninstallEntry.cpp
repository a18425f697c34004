#include "formats/UninstallEntry.h"

#include <cstdio>

std::wstring QuietUninstallCommand(const std::wstring& uninstallString) {
  return uninstallString + L" " + uninstall::kSilentSwitch;
}

std::wstring InstallDateText(int year, int month, int day) {
  wchar_t text[16];
  std::swprintf(text, sizeof text / sizeof text[0], L"%04d%02d%02d", year, month, day);
  return text;
}

uint32_t EstimatedSizeKb(int64_t bytes) {
  if (bytes <= 0)
    return 0;
  const int64_t kb = bytes / 1024 + (bytes % 1024 != 0);
  return kb > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<uint32_t>(kb);
}

std::wstring ProgramNameProblem(const std::wstring& name) {
  if (name.find(L'"') != std::wstring::npos)
    return L"Название программы «" + name +
           L"» содержит кавычки (\"). Они разорвали бы команду удаления в реестре; "
           L"используйте «ёлочки» или уберите кавычки.";
  if (name.find(L'\\') != std::wstring::npos)
    return L"Название программы «" + name +
           L"» содержит обратную косую черту (\\). С ней запись об удалении в реестре "
           L"попала бы в другой раздел; уберите этот знак.";
  return {};
}
