#pragma once
// Whether a package may go over what is installed under its program name: the
// same product (its ProductCode, or its name alone where either side has no
// code) at the same or an older version is upgraded or repaired; another
// product, or a newer version of this one, is refused before anything is
// written.

#include <optional>
#include <string>

#include "setup/InstalledProduct.h"
#include "support/Error.h"

struct SetupState;

// The install may not go over the installed product; ExitCode() says why
// (kExitDowngrade or kExitOtherProduct).
class UpgradeRefused : public KovrinError {
 public:
  UpgradeRefused(std::wstring message, int exitCode)
      : KovrinError(std::move(message)), exitCode_(exitCode) {}
  int ExitCode() const noexcept { return exitCode_; }

 private:
  int exitCode_;
};

// The installed product this package upgrades, or nothing for a first install.
// Raises UpgradeRefused for another product's entry under the name, and for an
// older version over a newer one unless `allowDowngrade`; PackageError when the
// script's ProductCode is not a GUID.
std::optional<InstalledProduct> CheckUpgrade(const SetupState& state, bool allowDowngrade);
