#include "setup/UpgradeCheck.h"

#include "formats/PackageError.h"
#include "formats/ProductCode.h"
#include "setup/ExitCodes.h"
#include "setup/SetupState.h"
#include "setup/VersionOrder.h"

Expected<std::optional<InstalledProduct>> CheckUpgrade(const SetupState& state,
                                                       bool allowDowngrade) {
  if (!state.ProductCode.empty() && !IsProductCode(state.ProductCode))
    return PackageFailure(L"Пакет повреждён: код продукта «" + state.ProductCode +
                          L"» в сценарии установки не является GUID. Установка невозможна.");
  std::optional<InstalledProduct> installed = FindInstalledProduct(state.ProgramName);
  if (!installed)
    return installed;
  // Either side without a code comes from a package made before codes: the name decides.
  if (!state.ProductCode.empty() && !installed->ProductCode.empty() &&
      !SameProductCode(state.ProductCode, installed->ProductCode))
    return Failure(L"Под именем «" + state.ProgramName +
                       L"» уже установлена другая программа (код продукта " +
                       installed->ProductCode + L", у этого пакета " + state.ProductCode +
                       L"). Установка отменена, чтобы не заменить чужую программу.",
                   FailureKind::Refused, kExitOtherProduct);
  if (!allowDowngrade &&
      CompareVersions(state.ProductVersion, installed->Version) == VersionOrder::Older)
    return Failure(L"Установлена более новая версия программы «" + state.ProgramName + L"» (" +
                       installed->Version + L"), чем в этом пакете (" + state.ProductVersion +
                       L"). Более старая версия не устанавливается поверх новой.\r\n\r\n"
                       L"Ключ /ALLOWDOWNGRADE позволяет установить её намеренно.",
                   FailureKind::Refused, kExitDowngrade);
  return installed;
}
