#pragma once
// The record is Windows-1251 text, as readers of it have always expected. A
// folder whose name that code page cannot hold (C:\Program Files\Müller, a
// desktop under C:\Users\Zoë) is recorded in its short 8.3 form, which is plain
// ASCII and names the same folder; without one it cannot be recorded at all.

#include <string>

#include "support/Failure.h"

using ShortPathFunction = std::wstring (*)(const std::wstring& path);

// `folder` as the record can hold it: as it stands when Windows-1251 holds it,
// otherwise the short form that `shortPath` gives for it (the folder must exist
// by then). Fails naming the folder, as `what` calls it ("Папку установки",
// "Папку ярлыков"), when neither form will do.
Expected<std::wstring> RecordableFolder(const std::wstring& folder, const wchar_t* what,
                                        ShortPathFunction shortPath);
Expected<std::wstring> RecordableFolder(const std::wstring& folder, const wchar_t* what);
