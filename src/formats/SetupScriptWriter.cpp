#include "formats/SetupScriptWriter.h"

#include <cmath>

#include "formats/ScriptKeys.h"
#include "support/CodePage.h"
#include "support/FileSystem.h"
#include "support/ProfileFile.h"
#include "support/Strings.h"

namespace {
const wchar_t* OneZero(bool flag) {
  return flag ? L"1" : L"0";
}

struct TextPage {
  bool use;
  TextType type;
  const std::string& rtf;
  const std::vector<std::wstring>& lines;
  const TextFont& font;
};

// Saves one text beside the script and describes it in its section.
void WriteText(ProfileFile& profile, const wchar_t* flagKey, const wchar_t* section,
               const TextPage& page, const std::wstring& savedPath) {
  if (!page.use) {
    profile.WriteString(script::kMain, flagKey, script::kNo);
    return;
  }
  profile.WriteString(script::kMain, flagKey, script::kYes);
  if (page.type == TextType::Rtf) {
    profile.WriteString(section, script::kType, script::kRtf);
    WriteWholeFile(savedPath, page.rtf);
  } else {
    profile.WriteString(section, script::kType, script::kTxt);
    profile.WriteString(section, script::kFontSize, IntToText(page.font.Size));
    profile.WriteString(section, script::kFontColor, IntToText(page.font.Color));
    profile.WriteString(section, script::kFontName, page.font.Name);
    WriteWholeFile(savedPath, PlainTextBytes(page.lines));
  }
  profile.WriteString(section, script::kSize, IntToText(LowSigned32(GetFileSize64(savedPath))));
}
}  // namespace

std::string PlainTextBytes(const std::vector<std::wstring>& lines) {
  std::string bytes;
  for (const std::wstring& line : lines) {
    bytes += ToCp1251(line);
    bytes += "\r\n";
  }
  return bytes;
}

void WriteSetupScript(const SetupProject& project, const std::wstring& scriptPath,
                      ProgressSink& progress) {
  using namespace script;
  const std::wstring folder = FolderOf(scriptPath);
  ProfileFile profile = ProfileFile::Load(scriptPath);
  // Room for every key of the script, nearly all of them file rows (two keys a
  // row: the name with its key, the size with its key).
  size_t bytes = 4096;
  for (const FileEntry& file : project.Files) bytes += file.RelativeName.size() + 32;
  profile.Reserve(kOneFiles, 2 * project.Files.size() + 5 * project.Shortcuts.size() + 64, bytes);

  profile.WriteString(kMain, kInstallPath, project.InstallPath);
  profile.WriteString(kMain, kProgramName, project.ProgramName);
  profile.WriteString(kMain, kCompanyName, project.CompanyName);
  if (!project.ProductVersion.empty())  // a script without a version stays as it always was
    profile.WriteString(kMain, kProductVersion, project.ProductVersion);
  if (!project.ProductCode.empty())
    profile.WriteString(kMain, kProductCode, project.ProductCode);
  profile.WriteString(kMain, kSetupLanguage, L"ru");
  profile.WriteString(kMain, kExpended, L"0");

  profile.WriteString(kOneData, kSummarySize, IntToText(LowSigned32(project.TotalFileSize())));
  profile.WriteString(kOneData, kCountOfFiles, IntToText(project.FileCount()));

  const size_t rows = project.Files.size();
  for (size_t i = 0; i < rows; ++i) {
    const int32_t n = static_cast<int32_t>(i + 1);
    profile.WriteString(kOneFiles, NumberedKey(kFileName, n), project.Files[i].RelativeName);
    profile.WriteString(kOneFiles, NumberedKey(kFileSize, n),
                        IntToText(LowSigned32(project.Files[i].Size)));
    progress.SetPosition(static_cast<int>(std::lround(double(i + 1) / double(rows) * 100.0)));
    progress.Pump();
  }

  WriteText(profile, kUseReadMe, kReadMe,
            {project.UseReadMe, project.ReadMeType, project.ReadMeRtf, project.ReadMeText,
             project.ReadMeFont},
            folder + kSavedReadMe);
  WriteText(profile, kUseLicense, kLicense,
            {project.UseLicense, project.LicenseType, project.LicenseRtf, project.LicenseText,
             project.LicenseFont},
            folder + kSavedLicense);

  profile.WriteString(kOneShortCuts, kCountOfShortCuts,
                      IntToText(static_cast<int32_t>(project.Shortcuts.size())));
  for (size_t i = 0; i < project.Shortcuts.size(); ++i) {
    const int32_t n = static_cast<int32_t>(i + 1);
    const ShortcutEntry& s = project.Shortcuts[i];
    profile.WriteString(kOneShortCuts, NumberedKey(kShortCutName, n), s.ShortCutName);
    profile.WriteString(kOneShortCuts, NumberedKey(kShortCutSavePath, n), s.ShortCutSavePath);
    profile.WriteString(kOneShortCuts, NumberedKey(kShortCutFileName, n), s.ShortCutFileName);
    profile.WriteString(kOneShortCuts, NumberedKey(kShortCutParams, n), s.ShortCutParams);
    profile.WriteString(kOneShortCuts, NumberedKey(kShortCutFilePath, n), s.ShortCutFilePath);
  }

  profile.WriteString(kExtended, kUseReboot, OneZero(project.UseReboot));
  profile.WriteString(kExtended, kAskToReboot, OneZero(project.AskToReboot));
  profile.WriteString(kExtended, kUseRun, OneZero(project.UseRun));
  profile.WriteString(kExtended, kUseGoSite, OneZero(project.UseGoSite));
  profile.WriteString(kExtended, kUseUninstall, OneZero(project.UseUninstall));
  profile.WriteString(kExtended, kRunFileName, project.RunFileName);
  profile.WriteString(kExtended, kSiteAddress, project.SiteAddress);

  profile.Save(scriptPath);
  progress.SetPosition(0);
}
