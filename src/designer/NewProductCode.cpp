#include "designer/NewProductCode.h"

#include <windows.h>

#include <objbase.h>

#include "support/Error.h"

std::wstring NewProductCode() {
  GUID guid;
  const HRESULT made = CoCreateGuid(&guid);
  if (FAILED(made))
    ThrowSystemError(L"Не удалось создать код продукта", static_cast<unsigned long>(made));
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, static_cast<int>(sizeof text / sizeof text[0]));
  return text;
}
