#include "designer/ui/window_info.h"

TFrame4::TFrame4(PageContext& context)
    : TTextFrame(context, TextPageTexts{L"Использовать окно информации о программе",
                                        L"Использовать окно информации о программе",
                                        L"Текст информации в формате RTF",
                                        L"Текст информации в формате TXT", false, true}) {}

void TFrame4::Load(const SetupProject& project) {
  LoadValues({project.UseReadMe, project.ReadMeType, project.ReadMeRtf, project.ReadMeText,
              project.ReadMeFont});
}

void TFrame4::Store(SetupProject& project) const {
  TextPageValues values = StoreValues();
  project.UseReadMe = values.use;
  project.ReadMeType = values.type;
  project.ReadMeRtf = std::move(values.rtf);
  project.ReadMeText = std::move(values.lines);
  project.ReadMeFont = values.font;
}

TFrame5::TFrame5(PageContext& context)
    : TTextFrame(context, TextPageTexts{L"Использовать окно лиценции к программе",
                                        L"Использовать окно лицензии к программе",
                                        L"Текст лицензии в формате RTF",
                                        L"Текст лицензии в формате TXT", true, false}) {}

void TFrame5::Load(const SetupProject& project) {
  LoadValues({project.UseLicense, project.LicenseType, project.LicenseRtf, project.LicenseText,
              project.LicenseFont});
}

void TFrame5::Store(SetupProject& project) const {
  TextPageValues values = StoreValues();
  project.UseLicense = values.use;
  project.LicenseType = values.type;
  project.LicenseRtf = std::move(values.rtf);
  project.LicenseText = std::move(values.lines);
  project.LicenseFont = values.font;
}
