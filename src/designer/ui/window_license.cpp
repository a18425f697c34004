#include "designer/ui/window_license.h"

TFrame5::TFrame5(PageContext& context)
    : TextPage(context, {L"Использовать окно лиценции к программе",
                         L"Использовать окно лицензии к программе", L"Текст лицензии в формате RTF",
                         L"Текст лицензии в формате TXT", true, false, &SetupProject::UseLicense,
                         &SetupProject::LicenseType, &SetupProject::LicenseRtf,
                         &SetupProject::LicenseText, &SetupProject::LicenseFont}) {}
