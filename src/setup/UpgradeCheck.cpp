#include "setup/UpgradeCheck.h"

#include "formats/PackageError.h"
#include "formats/ProductCode.h"
#include "setup/ExitCodes.h"
#include "setup/SetupState.h"
#include "setup/VersionOrder.h"

std::optional<InstalledProduct> CheckUpgrade(const SetupState& state, bool allowDowngrade) {
  if (!state.ProductCode.empty() && !IsProductCode(state.ProductCode))
    throw PackageError(L"Пакет повреждён: код продукта «" + state.ProductCode +
                       L"» в сценарии установки не является GUID. Установка невозможна.");
  std::optional<InstalledProduct> installed = FindInstalledProduct(state.ProgramName);
  if (!installed)
    return std::nullopt;
  // Either side without a code comes from a package made before codes: the name decides.
  if (!state.ProductCode.empty() && !installed->ProductCode.empty() &&
      !SameProductCode(state.ProductCode, installed->ProductCode))
    throw UpgradeRefused(L"Под именем «" + state.ProgramName +
                             L"» уже установлена другая программа (код продукта " +
                             installed->ProductCode + L", у этого пакета " + state.ProductCode +
                             L"). Установка отменена, чтобы не заменить чужую программу.",
                         kExitOtherProduct);
  if (!allowDowngrade &&
      CompareVersions(state.ProductVersion, installed->Version) == VersionOrder::Older)
    throw UpgradeRefused(L"Установлена более новая версия программы «" + state.ProgramName +
                             L"» (" + installed->Version + L"), чем в этом пакете (" +
                             state.ProductVersion +
                             L"). Более старая версия не устанавливается поверх новой.\r\n\r\n"
                             L"Ключ /ALLOWDOWNGRADE позволяет установить её намеренно.",
                         kExitDowngrade);
  return installed;
}
