#pragma once
// Whether a package may go over what is installed under its program name: the
// same product (its ProductCode, or its name alone where either side has no
// code) at the same or an older version is upgraded or repaired; another
// product, or a newer version of this one, is refused before anything is
// written.

#include <optional>
#include <string>

#include "setup/InstalledProduct.h"
#include "support/Failure.h"

struct SetupState;

// The installed product this package upgrades, or nothing for a first install.
// Refuses (FailureKind::Refused, its Code() kExitOtherProduct) another product's
// entry under the name, and (kExitDowngrade) an older version over a newer one
// unless `allowDowngrade`; a script's ProductCode that is not a GUID is a
// damaged package.
Expected<std::optional<InstalledProduct>> CheckUpgrade(const SetupState& state,
                                                       bool allowDowngrade);
