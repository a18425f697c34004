#pragma once
// A package that does not check out: damaged, incomplete or tampered with. A
// type of its own, so that a caller can tell a bad package from a target that
// cannot be written (a KovrinError of any other type).

#include "support/Error.h"

class PackageError : public KovrinError {
 public:
  using KovrinError::KovrinError;
};

// "Файл «<name>» в пакете повреждён (контрольная сумма не совпадает)."
std::wstring DamagedFileText(const std::wstring& name);
