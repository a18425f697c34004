#include "setup/ExitCodes.h"

#include "support/Failure.h"

int InstallExitCode(const Failure& failure) {
  switch (failure.Kind()) {
    case FailureKind::Stopped:
      return kExitCancelled;
    case FailureKind::Package:
      return kExitBadPackage;
    case FailureKind::FileInUse:
      return kExitFileInUse;
    case FailureKind::Refused:
      return failure.Code();
    case FailureKind::Error:
      break;
  }
  return kExitCannotWrite;
}

int InstalledExitCode(bool restartToFinish) {
  return restartToFinish ? kExitRestartToFinish : kExitInstalled;
}

const wchar_t* ExitCodeMeaning(int code) {
  switch (code) {
    case kExitInstalled:
      return L"установлено";
    case kExitCancelled:
      return L"прервано пользователем";
    case kExitBadPackage:
      return L"пакет повреждён или неполон";
    case kExitCannotWrite:
      return L"не удалось записать установку";
    case kExitBadCommandLine:
      return L"неверная командная строка";
    case kExitFileInUse:
      return L"файл занят другой программой, ничего не изменено";
    case kExitRestartToFinish:
      return L"установлено, завершится после перезагрузки";
    case kExitDowngrade:
      return L"установлена более новая версия";
    case kExitOtherProduct:
      return L"под этим именем установлена другая программа";
    default:
      return L"неизвестный итог";
  }
}
