#pragma once
// Start-up of the setup program without windows: the script's single values,
// the page list, the two texts taken out of Setup.dat, and the free-space line
// of the install-path page.

#include <cstdint>
#include <string>
#include <vector>

#include "support/Failure.h"

struct SetupState;

// Names of the wizard pages: the only texts of the page list and the keys by
// which a page is found.
inline constexpr wchar_t kPageCharacteristics[] = L"Характеристика";
inline constexpr wchar_t kPageLicense[] = L"Лицензия";
inline constexpr wchar_t kPageInformation[] = L"Информация";
inline constexpr wchar_t kPageInstallPath[] = L"Путь установки";
inline constexpr wchar_t kPageShortcuts[] = L"Ярлыки";

// Reads Setup.ini in state.PackageFolder into the state: every value with its
// default (a missing file gives all defaults); the texts' fonts and sizes only
// for the texts in use. A script that cannot be read fails; a program name that
// cannot name an uninstall entry is a damaged package (and sets
// state.PackageDamage).
Status ReadSetupScript(SetupState& state);

// The page list: "Характеристика", then the license, information, install-path
// and shortcuts pages that apply, in that order.
std::vector<std::wstring> BuildPageList(const SetupState& state);

// A folder name made of the program name that cannot leave the folder it is
// placed in: separators, drive colons, characters Windows refuses in names and a
// name of dots only are replaced.
std::wstring SafeFolderName(const std::wstring& name);

// When a text is used: TempFolder := %TEMP% + "\Kovrin_" + the safe program
// name, made new (setup/TextFolder.h), and Setup.dat split into readme.dat and
// license.dat there. A Setup.dat shorter than the two sizes stops with a message
// naming it before anything is written; one whose CRC-32, taken while it is
// split, differs from the script's TextsCrc leaves no text behind. Either is a
// damaged package and sets state.PackageDamage, so the package is not installed.
Status ExtractTexts(SetupState& state);

// Full paths of the two extracted texts (valid after ExtractTexts).
std::wstring ReadMeTextPath(const SetupState& state);
std::wstring LicenseTextPath(const SetupState& state);

// A plain text as the viewer shows it: Windows-1251 bytes, every kind of line
// end turned into CR LF.
Expected<std::wstring> LoadPlainText(const std::wstring& path);

// "<n> байт", digits not grouped.
std::wstring ByteCountText(int64_t bytes);

// What the free-space line of the install-path page shows for a path.
struct FreeSpaceLine {
  bool Visible = false;  // both labels; false for a path without a drive part
  std::wstring Label;  // "Свободно на диске C:" or "Диск X не существует"
  bool ValueVisible = false;  // the byte count; hidden for a missing drive
  std::wstring Value;         // "<free bytes> байт"
};

// The two questions the free-space line asks the system, replaceable in tests.
class DriveProbe {
 public:
  virtual ~DriveProbe() = default;
  virtual bool RootExists(const std::wstring& root) = 0;  // root such as "C:\"
  // Bytes free for the current user on the drive of `root`; -1 when unknown.
  virtual int64_t FreeBytes(const std::wstring& root) = 0;
};

class SystemDriveProbe final : public DriveProbe {
 public:
  bool RootExists(const std::wstring& root) override;
  int64_t FreeBytes(const std::wstring& root) override;
};

// The drive part of a path: "X:" for a path that begins with a character and a
// colon, "\\server\share" for a network path, empty otherwise.
std::wstring DrivePart(const std::wstring& path);

FreeSpaceLine DescribeFreeSpace(const std::wstring& path, DriveProbe& probe);
