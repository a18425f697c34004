#include "designer/ui/window_info.h"

TFrame4::TFrame4(PageContext& context)
    : TextPage(
          context,
          {L"Использовать окно информации о программе", L"Использовать окно информации о программе",
           L"Текст информации в формате RTF", L"Текст информации в формате TXT", false, true,
           &SetupProject::UseReadMe, &SetupProject::ReadMeType, &SetupProject::ReadMeRtf,
           &SetupProject::ReadMeText, &SetupProject::ReadMeFont}) {}
