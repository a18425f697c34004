#pragma once
// A fresh ProductCode for a project that has none.

#include <string>

// A new GUID in its registry spelling (formats/ProductCode.h). Raises KovrinError
// when the system cannot make one.
std::wstring NewProductCode();
