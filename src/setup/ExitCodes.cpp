#include "setup/ExitCodes.h"

#include "formats/PackageError.h"
#include "setup/FileInUse.h"
#include "setup/UpgradeCheck.h"
#include "support/Error.h"

int InstallExitCode() {
  try {
    throw;
  } catch (const OperationCancelled&) {
    return kExitCancelled;
  } catch (const PackageError&) {
    return kExitBadPackage;
  } catch (const FileInUseError&) {
    return kExitFileInUse;
  } catch (const UpgradeRefused& refused) {
    return refused.ExitCode();
  } catch (const KovrinError&) {
    return kExitCannotWrite;
  } catch (...) {
    return kExitCannotWrite;
  }
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
