#include "setup/InstalledProduct.h"

#include <windows.h>

#include "formats/RecordRemoval.h"
#include "formats/UninstallEntry.h"
#include "formats/UninstallRecord.h"
#include "support/FileSystem.h"
#include "support/QRegistry.h"

namespace {
// A text value as it was written (REG_SZ); "" for anything else.
std::wstring TextValue(const RegistryKey& key, const wchar_t* name) {
  std::wstring text;
  DWORD type = REG_NONE;
  if (key.QueryText(name, text, &type) != ERROR_SUCCESS || type != REG_SZ)
    return {};
  return text;
}
}  // namespace

std::optional<InstalledProduct> FindInstalledProduct(const std::wstring& programName) {
  if (programName.empty() || programName.find(L'\\') != std::wstring::npos)
    return std::nullopt;  // such a name names another key than the product's
  const RegistryKey key = RegistryKey::Open(HKEY_LOCAL_MACHINE, UninstallRegistryKey(programName));
  if (!key)
    return std::nullopt;
  UninstallCommand command;
  const std::wstring uninstallString = TextValue(key, uninstall::kUninstallString);
  if (!ParseUninstallCommand(uninstallString.c_str(), command) || !FileExists(command.ScriptPath))
    return std::nullopt;
  InstalledProduct product{command.ScriptPath, TextValue(key, uninstall::kInstallLocation),
                           TextValue(key, uninstall::kDisplayVersion),
                           TextValue(key, uninstall::kProductCode)};
  if (product.InstallLocation.empty())
    return std::nullopt;
  // Read now: the new install's entry replaces the value before the earlier
  // version's links are removed.
  product.LinkFolders = RegisteredLinkFolders(programName);
  return product;
}
