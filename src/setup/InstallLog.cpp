#include "setup/InstallLog.h"

#include "setup/ExitCodes.h"
#include "setup/SetupState.h"

#ifndef KOVRIN_VERSION
#define KOVRIN_VERSION "?"
#endif

const wchar_t kSetupVersion[] = L"" KOVRIN_VERSION;

void InstallLog::Start(const std::wstring& programPath, const std::wstring& commandLine) {
  file_.Line(L"Начало: программа установки Kovrin " + std::wstring(kSetupVersion) + L", " +
             programPath);
  file_.Line(L"Командная строка: " + commandLine);
}

void InstallLog::Package(const SetupState& state) {
  file_.Line(L"Пакет: " + state.PackageFolder);
  file_.Line(L"Продукт: " + state.ProgramName +
             (state.ProductVersion.empty() ? L"" : L", версия " + state.ProductVersion) +
             L"; компания: " + state.CompanyName);
  file_.Line(L"Файлов: " + std::to_wstring(state.CountOfFiles) + L", всего " +
             std::to_wstring(state.SummarySize) + L" байт");
}

void InstallLog::InstallFolder(const std::wstring& folder) {
  file_.Line(L"Папка установки: " + folder);
}

void InstallLog::Note(const std::wstring& text) {
  file_.Line(text);
}

void InstallLog::Result(int exitCode, const std::wstring& reason) {
  std::wstring line = L"Итог: код " + std::to_wstring(exitCode) + L", " + ExitCodeMeaning(exitCode);
  if (!reason.empty())
    line += L": " + reason;
  file_.Line(line);
}

void InstallLog::FileWritten(const std::wstring& path, int64_t bytes) {
  file_.Line(L"Файл: " + path + L" (" + std::to_wstring(bytes) + L" байт)");
}

void InstallLog::LinkMade(const std::wstring& path, bool made) {
  file_.Line((made ? L"Ярлык: " : L"Ярлык не создан: ") + path);
}

void InstallLog::ReplacedAtRestart(const std::wstring& target, const std::wstring& staged) {
  file_.Line(L"Файл занят, будет заменён при перезагрузке: " + target + L" (новый: " + staged +
             L")");
}

void InstallLog::UninstallerPlaced(const std::wstring& path) {
  file_.Line(L"Программа удаления: " + path);
}

void InstallLog::EarlierFileKept(const std::wstring& path, bool changed) {
  file_.Line((changed ? L"Оставлен изменённый файл прежней версии: "
                      : L"Не удалось удалить файл прежней версии: ") +
             path);
}

void InstallLog::EntryRegistered(const std::wstring& keyPath) {
  file_.Line(L"Запись в реестре: HKEY_LOCAL_MACHINE\\" + keyPath);
}

void InstallLog::Failed(const std::wstring& message, int exitCode) {
  failureCode_ = exitCode;
  file_.Line(L"Ошибка (код " + std::to_wstring(exitCode) + L"): " + message);
}
