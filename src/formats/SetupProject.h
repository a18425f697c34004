#pragma once
// The installation project as the designer's pages describe it; a project file
// (formats/ProjectFile.h) keeps it between runs.

#include <cstdint>
#include <string>
#include <vector>

// The system window-text colour as a font colour (system colour index 8).
inline constexpr int32_t kWindowTextColor = -16777208;

inline constexpr int kNoRule = -1;

struct FileEntry {
  std::wstring RelativeName;  // path below the installation folder
  std::wstring LocalFolder;   // source folder on the author's machine
  int64_t Size = 0;           // bytes; the package stores it as a signed 32-bit number
  // A row that a folder rule made: the rule's index in FolderRules, and the
  // file's path below the rule's folder (RelativeName adds its destination).
  // The project file keeps the rule, not such rows.
  int Rule = kNoRule;
  std::wstring RuleName;

  // LocalFolder, a "\" if it lacks one, and RelativeName (RuleName for a rule's row).
  std::wstring SourcePath() const;
  bool FromRule() const { return Rule != kNoRule; }
  bool operator==(const FileEntry&) const = default;
};

// Everything below a source folder, taken anew at every build: the folder's
// files in a stable order, less those that an exclusion pattern matches.
struct FolderRule {
  std::wstring SourceFolder;           // absolute once read
  std::vector<std::wstring> Excludes;  // patterns over the path below SourceFolder
  std::wstring Destination;            // sub-folder below the installation folder, or empty
  bool operator==(const FolderRule&) const = default;
};

struct ShortcutEntry {
  std::wstring ShortCutName;
  std::wstring ShortCutSavePath;  // "%Desktop%", "%StartMenu%", "%AutoLoading%" or a folder
  std::wstring ShortCutFileName;
  std::wstring ShortCutParams;
  std::wstring ShortCutFilePath;  // working folder
  bool operator==(const ShortcutEntry&) const = default;
};

enum class TextType { Rtf, Txt };

struct TextFont {
  std::wstring Name = L"MS Sans Serif";
  int32_t Size = 8;  // points
  int32_t Color = kWindowTextColor;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  bool operator==(const TextFont&) const = default;
};

struct SetupProject {
  // Main page.
  std::wstring ProgramName;
  std::wstring CompanyName;
  std::wstring InstallPath;
  std::wstring ProductVersion;  // the uninstall entry's DisplayVersion
  // The product's identity across versions (ProductCode.h), made once per
  // project by the designer; empty in a project that has not had one yet.
  std::wstring ProductCode;
  std::wstring SetupFileName = L"Setup.exe";
  std::wstring OutputFolder = L"C:\\MySetup\\";

  // Files page: single rows, and the rows of the folder rules after a look at their folders.
  std::vector<FileEntry> Files;
  std::vector<FolderRule> FolderRules;

  // Compression page.
  bool UseWinRar = false;
  std::wstring WinRarPath;
  int CompressionLevel = 3;  // 0..5, "Обычный"
  bool SortByExtension = false;
  bool UseBuiltInPacker = false;  // the built-in single-file packer instead of separate files

  // Information page; ReadMeRtf holds the RTF bytes as the rich-text box writes them.
  bool UseReadMe = false;
  TextType ReadMeType = TextType::Rtf;
  std::string ReadMeRtf;
  std::vector<std::wstring> ReadMeText;
  TextFont ReadMeFont;

  // License page.
  bool UseLicense = false;
  TextType LicenseType = TextType::Rtf;
  std::string LicenseRtf;
  std::vector<std::wstring> LicenseText;
  TextFont LicenseFont;

  // Shortcuts page.
  std::vector<ShortcutEntry> Shortcuts;

  // Extended page.
  bool UseReboot = false;
  bool AskToReboot = false;
  bool UseRun = false;
  std::wstring RunFileName;
  bool UseGoSite = false;
  std::wstring SiteAddress;
  bool UseUninstall = false;

  // The command that signs a program of the package; "{file}" stands for its path.
  std::wstring SignCommand;

  int FileCount() const { return static_cast<int>(Files.size()); }
  // Sum of the rows' sizes in 64 bits.
  int64_t TotalFileSize() const;
  bool operator==(const SetupProject&) const = default;
};
