#include "setup/ScriptLoading.h"

#include <windows.h>

#include "formats/CrcText.h"
#include "formats/PackageError.h"
#include "formats/Payload.h"
#include "formats/ScriptKeys.h"
#include "formats/SetupScriptReader.h"
#include "formats/UninstallEntry.h"
#include "setup/SetupState.h"
#include "setup/TextFolder.h"
#include "support/CodePage.h"
#include "support/Error.h"
#include "support/FileSystem.h"
#include "support/ProfileFile.h"
#include "support/Strings.h"

Status ReadSetupScript(SetupState& state) {
  std::wstring problem;
  const std::optional<ProfileFile> script =
      ProfileFile::Load(state.PackageFolder + script::kScriptFile, problem);
  if (!script)
    return Failure(std::move(problem));
  static_cast<SetupScriptValues&>(state) = ReadSetupScriptValues(*script);
  // A name that cannot name its uninstall entry would break the uninstall later.
  if (std::wstring unusable = ProgramNameProblem(state.ProgramName); !unusable.empty()) {
    state.PackageDamage = unusable;
    return PackageFailure(std::move(unusable));
  }
  return {};
}

std::vector<std::wstring> BuildPageList(const SetupState& state) {
  std::vector<std::wstring> pages{kPageCharacteristics};
  if (state.UseLicense)
    pages.emplace_back(kPageLicense);
  if (state.UseReadMe)
    pages.emplace_back(kPageInformation);
  pages.emplace_back(kPageInstallPath);
  if (state.CountOfShortCuts > 0)
    pages.emplace_back(kPageShortcuts);
  return pages;
}

std::wstring SafeFolderName(const std::wstring& name) {
  std::wstring safe;
  safe.reserve(name.size());
  for (wchar_t c : name) {
    const bool refused = c < 32 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?' ||
                         c == L'"' || c == L'<' || c == L'>' || c == L'|';
    safe += refused ? L'_' : c;
  }
  // Windows drops trailing dots and blanks from a name; ".." would climb a level.
  while (!safe.empty() && (safe.back() == L'.' || safe.back() == L' ')) safe.back() = L'_';
  return safe;
}

std::wstring ReadMeTextPath(const SetupState& state) {
  return state.TempFolder + L"\\" + script::kExtractedReadMe;
}

std::wstring LicenseTextPath(const SetupState& state) {
  return state.TempFolder + L"\\" + script::kExtractedLicense;
}

Status ExtractTexts(SetupState& state) {
  if (!state.UseReadMe && !state.UseLicense)
    return {};
  Expected<std::wstring> folder = MakeTextFolder(SafeFolderName(state.ProgramName));
  if (!folder)
    return std::move(folder).Error();
  state.TempFolder = std::move(*folder);

  // Negative sizes move nothing, as in the copy itself.
  const int64_t readMeSize = state.ReadMe.Size > 0 ? state.ReadMe.Size : 0;
  const int64_t licenseSize = state.License.Size > 0 ? state.License.Size : 0;
  const std::wstring textsPath = state.PackageFolder + script::kTextsFile;
  const int64_t available = GetFileSize64(textsPath);
  if (available >= 0 && available < readMeSize + licenseSize) {
    state.PackageDamage = L"\"" + textsPath + L"\" holds " + std::to_wstring(available) +
                          L" bytes, but Setup.ini describes texts of " +
                          std::to_wstring(readMeSize + licenseSize) +
                          L" bytes: the package is damaged or incomplete.";
    return PackageFailure(state.PackageDamage);
  }
  bool checked = false;
  uint32_t expected = 0;
  if (!state.TextsCrc.empty() && !(checked = ParseCrcText(state.TextsCrc, expected))) {
    state.PackageDamage = DamagedFileText(script::kTextsFile);
    return PackageFailure(state.PackageDamage);
  }
  CopyBuffer buffer;
  const Expected<TextsSplit> split = SplitTexts(
      textsPath, readMeSize, licenseSize, ReadMeTextPath(state), LicenseTextPath(state), buffer);
  if (!split)
    return split.Error();
  if (checked && (split->Crc != expected || split->FileSize != readMeSize + licenseSize)) {
    // A damaged licence or information text is not shown as if it were the author's.
    DeleteFileW(ReadMeTextPath(state).c_str());
    DeleteFileW(LicenseTextPath(state).c_str());
    state.PackageDamage = DamagedFileText(script::kTextsFile);
    return PackageFailure(state.PackageDamage);
  }
  return {};
}

Expected<std::wstring> LoadPlainText(const std::wstring& path) {
  const Expected<std::string> bytes = TryReadWholeFile(path);
  if (!bytes)
    return bytes.Error();
  const std::wstring text = FromCp1251(*bytes);
  std::wstring lines;
  lines.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      lines += L"\r\n";
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
        ++i;
    } else {
      lines += c;
    }
  }
  return lines;
}

std::wstring ByteCountText(int64_t bytes) {
  return std::to_wstring(bytes) + L" байт";
}

bool SystemDriveProbe::RootExists(const std::wstring& root) {
  // A drive without a medium must not bring up the system's "insert a disk" box.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const bool exists = FolderExists(root);
  SetErrorMode(oldMode);
  return exists;
}

int64_t SystemDriveProbe::FreeBytes(const std::wstring& root) {
  ULARGE_INTEGER available{};
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const BOOL ok = GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr);
  SetErrorMode(oldMode);
  return ok ? static_cast<int64_t>(available.QuadPart) : -1;
}

std::wstring DrivePart(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':')
    return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
    // Server and share: up to the separator after the share name.
    size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos)
      return path;
    size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path : path.substr(0, share);
  }
  return {};
}

FreeSpaceLine DescribeFreeSpace(const std::wstring& path, DriveProbe& probe) {
  FreeSpaceLine line;
  const std::wstring drive = DrivePart(path);
  if (drive.empty())
    return line;
  line.Visible = true;
  wchar_t letter = drive[0];
  if (!probe.RootExists(std::wstring(1, letter) + L":\\")) {
    line.Label = std::wstring(L"Диск ") + letter + L" не существует";
    return line;
  }
  if (letter >= L'a' && letter <= L'z')
    letter = static_cast<wchar_t>(letter - L'a' + L'A');
  const std::wstring root = std::wstring(1, letter) + L":\\";
  const int64_t free = probe.FreeBytes(root);
  line.Label = std::wstring(L"Свободно на диске ") + letter + L":";
  line.ValueVisible = true;
  line.Value = ByteCountText(free < 0 ? 0 : free);
  return line;
}
