#pragma once
// A package that does not check out: damaged, incomplete or tampered with. A
// kind of its own, so that a caller can tell a bad package from a target that
// cannot be written.

#include <string>
#include <utility>

#include "support/Failure.h"

inline Failure PackageFailure(std::wstring message) {
  return Failure(std::move(message), FailureKind::Package);
}

// "Файл «<name>» в пакете повреждён (контрольная сумма не совпадает)."
std::wstring DamagedFileText(const std::wstring& name);
