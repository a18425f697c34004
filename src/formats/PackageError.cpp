#include "formats/PackageError.h"

std::wstring DamagedFileText(const std::wstring& name) {
  return L"Файл «" + name + L"» в пакете повреждён (контрольная сумма не совпадает).";
}
