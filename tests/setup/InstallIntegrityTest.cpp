// What lands on disk is what the author built: checksums, a payload that adds
// up, and names that can be files here. A package that fails any of these
// installs nothing and is never reported as installed.

#include <gtest/gtest.h>

#include <memory>

#include "InstallFixtures.h"
#include "setup/ScriptLoading.h"
#include "support/CodePage.h"
#include "support/ComScope.h"
#include "support/Error.h"

namespace {
class InstallIntegrityTest : public ::testing::Test {
 protected:
  ComScope com;
  TestPackage package;
  RecordingEvents events;

  std::wstring Install(SetupState& state) {
    return InstallError(state, {package.InstallFolder()}, events);
  }
  // Nothing of the package on disk, no record, no success shown.
  void ExpectNothingInstalled(const SetupState& state, const char* what) {
    EXPECT_TRUE(TreeOf(package.InstallFolder()).empty()) << what;
    EXPECT_FALSE(FolderExists(package.InstallFolder())) << what;
    EXPECT_FALSE(state.Installed) << what;
    EXPECT_FALSE(events.finished) << what;
  }
};

// A script written by hand: [One_Files] rows as given, data.dat as given.
std::unique_ptr<TestPackage> HandWritten(const std::wstring& rows, int32_t count,
                                         const std::string& payload) {
  auto package =
      std::make_unique<TestPackage>(L"[Main]\r\nProgramName=Hand\r\n[One_Data]\r\nCountOfFiles=" +
                                    std::to_wstring(count) + L"\r\n[One_Files]\r\n" + rows);
  package->WritePayload(payload);
  return package;
}

SetupState StateOf(const TestPackage& package, int32_t count) {
  SetupState state = package.State();
  state.CountOfFiles = count;
  return state;
}
}  // namespace

TEST_F(InstallIntegrityTest, AFlippedPayloadByteIsRefusedNamingTheFile) {
  package.withChecksums = true;
  package.AddFile(L"first.bin", 3000);
  package.AddFile(L"docs\\second.bin", 2500000);  // the flip lies in its third block
  package.AddFile(L"third.bin", 10);
  package.Write();
  std::string payload = ReadFileBytes(package.Folder() + L"data.dat");
  payload[3000 + 2400000] ^= 0x10;
  package.WritePayload(payload);
  SetupState state = package.State();

  const std::wstring error = Install(state);

  EXPECT_EQ(error,
            L"Файл «docs\\second.bin» в пакете повреждён (контрольная сумма не совпадает). "
            L"Установка прервана.");
  ExpectNothingInstalled(state, "flipped byte");
}

TEST_F(InstallIntegrityTest, SizesShiftedBetweenTwoFilesAreCaught) {
  // The sizes still add up to data.dat; only the checksums see the shift.
  package.withChecksums = true;
  package.AddFile(L"a.txt", 100);
  package.AddFile(L"b.txt", 100);
  package.Write();
  std::wstring script = FromCp1251(ReadFileBytes(package.Folder() + L"Setup.ini"));
  script.replace(script.find(L"FileSize1=100"), 13, L"FileSize1=90");
  script.replace(script.find(L"FileSize2=100"), 13, L"FileSize2=110");
  WriteTextFile(package.Folder() + L"Setup.ini", ToCp1251(script));
  SetupState state = package.State();

  const std::wstring error = Install(state);

  EXPECT_NE(error.find(L"«a.txt»"), std::wstring::npos) << Narrow(error);
  ExpectNothingInstalled(state, "shifted sizes");
}

TEST_F(InstallIntegrityTest, MatchingChecksumsInstallAndAScriptWithoutThemInstallsAsBefore) {
  for (bool checksums : {true, false}) {
    TestPackage checked;
    checked.withChecksums = checksums;
    checked.AddFile(L"a.bin", 1000001);
    checked.AddFile(L"empty.txt", 0);
    checked.Write();
    SetupState state = checked.State();
    RecordingEvents seen;
    ASSERT_EQ(InstallError(state, {checked.InstallFolder()}, seen), L"") << checksums;
    EXPECT_EQ(ReadFileBytes(checked.InstallFolder() + L"\\a.bin"), checked.contents[0]);
    EXPECT_TRUE(FileExists(checked.InstallFolder() + L"\\empty.txt"));
    EXPECT_TRUE(seen.finished);
  }
}

TEST_F(InstallIntegrityTest, AChecksumThatIsNoChecksumIsADamagedScript) {
  const auto damaged = HandWritten(L"FileName1=a.txt\r\nFileSize1=3\r\nFileCrc1=xyz\r\n", 1, "abc");
  SetupState state = StateOf(*damaged, 1);
  RecordingEvents seen;
  const std::wstring error = InstallError(state, {damaged->InstallFolder()}, seen);
  EXPECT_NE(error.find(L"FileCrc1"), std::wstring::npos) << Narrow(error);
  EXPECT_FALSE(FolderExists(damaged->InstallFolder()));
}

TEST_F(InstallIntegrityTest, APayloadLongerThanTheScriptSaysIsRefused) {
  package.AddFile(L"a.txt", 10);
  package.AddFile(L"b.txt", 10);
  package.Write();
  package.WritePayload(ReadFileBytes(package.Folder() + L"data.dat") + "extra");
  SetupState state = package.State();

  const std::wstring error = Install(state);

  EXPECT_NE(error.find(L"data.dat"), std::wstring::npos) << Narrow(error);
  EXPECT_NE(error.find(L"25"), std::wstring::npos) << "the real size is named: " << Narrow(error);
  ExpectNothingInstalled(state, "long payload");
}

TEST_F(InstallIntegrityTest, ARowMissingBelowTheCountIsAnError) {
  std::wstring rows;
  std::string payload;
  for (int n = 1; n <= 10; ++n) {
    if (n == 4)
      continue;  // FileName4 and FileSize4 deleted by hand
    rows += L"FileName" + std::to_wstring(n) + L"=f" + std::to_wstring(n) + L".txt\r\nFileSize" +
            std::to_wstring(n) + L"=1\r\n";
    payload += 'x';
  }
  const auto damaged = HandWritten(rows, 10, payload);
  SetupState state = StateOf(*damaged, 10);
  RecordingEvents seen;

  const std::wstring error = InstallError(state, {damaged->InstallFolder()}, seen);

  EXPECT_NE(error.find(L"4"), std::wstring::npos) << Narrow(error);
  EXPECT_FALSE(FolderExists(damaged->InstallFolder()));
  EXPECT_FALSE(seen.finished);
}

// Names outside the install folder, names that cannot be a file here, and two
// rows for one target (or a file used as a folder) are refused, naming the row.
// (A blank at the end of a whole value never arrives: the script reader trims it.)
TEST_F(InstallIntegrityTest, RowsThatCannotBeWrittenAsNamedAreRefusedBeforeAnythingIsWritten) {
  const std::pair<const wchar_t*, const wchar_t*> rows[] = {
      {L"good.txt", L"..\\escaped.txt"},
      {L"good.txt", L"sub\\..\\..\\escaped.txt"},
      {L"good.txt", L"C:\\escaped.txt"},
      {L"good.txt", L"\\escaped.txt"},
      {L"good.txt", L"c:escaped.txt"},
      {L"good.txt", L"sub/../../escaped.txt"},
      {L"good.txt", L"CON"},
      {L"good.txt", L"nul"},
      {L"good.txt", L"sub\\nul.txt"},
      {L"good.txt", L"COM1.log"},
      {L"good.txt", L"lpt9"},
      {L"good.txt", L"aux.tar.gz"},
      {L"good.txt", L"CONIN$"},
      {L"good.txt", L"name."},
      {L"good.txt", L"folder.\\a.txt"},
      {L"good.txt", L"sub \\a.txt"},
      {L"good.txt", L"a\\\\b.txt"},
      {L"good.txt", L"a\\"},
      {L"good.txt", L"what?.txt"},
      {L"good.txt", L"pipe|.txt"},
      {L"good.txt", L"tab\t.txt"},
      {L"Readme.TXT", L"readme.txt"},
      {L"docs\\a.txt", L"DOCS/A.txt"},
      {L"docs", L"docs\\a.txt"},
      {L"Лист.txt", L"лист.TXT"},
  };
  for (const auto& [first, second] : rows) {
    TestPackage tampered;
    tampered.AddFile(first, 10);
    tampered.AddFile(second, 10);
    tampered.Write();
    SetupState state = tampered.State();
    RecordingEvents quiet;

    const std::wstring error = InstallError(state, {tampered.InstallFolder()}, quiet);

    EXPECT_NE(error.find(second), std::wstring::npos) << Narrow(second) << ": " << Narrow(error);
    EXPECT_FALSE(FolderExists(tampered.InstallFolder())) << Narrow(second);
    EXPECT_FALSE(FileExists(tampered / L"escaped.txt")) << Narrow(second);
  }
}

TEST_F(InstallIntegrityTest, AnInstallFolderThatIsNoFullPathIsRefused) {
  package.AddFile(L"a.txt", 5);
  package.Write();
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  SetCurrentDirectoryW(package.Folder().c_str());  // where a relative folder would land
  // (Rooted or drive-only folders are the check's own test: here they would reach C:\.)
  const std::wstring folders[] = {L"relative\\folder", L"C:relative", package / L"sub\\CON",
                                  package / L"trailing.\\x", package / L"sp \\x"};
  for (const std::wstring& folder : folders) {
    SetupState state = package.State();
    RecordingEvents quiet;
    const std::wstring error = InstallError(state, {folder}, quiet);
    EXPECT_NE(error.find(folder), std::wstring::npos) << Narrow(folder) << ": " << Narrow(error);
    EXPECT_FALSE(quiet.finished) << Narrow(folder);
  }
  SetCurrentDirectoryW(current);
  for (const wchar_t* made : {L"relative", L"sub", L"trailing", L"sp", L"relative\\a.txt"})
    EXPECT_FALSE(FolderExists(package / made) || FileExists(package / made)) << Narrow(made);
}

TEST_F(InstallIntegrityTest, APackageWhoseTextsAreDamagedInstallsNothing) {
  TempOverride temp;
  TestPackage damaged(
      L"[Main]\r\nProgramName=Тексты\r\nUseLicense=Yes\r\n[License]\r\nSize=3\r\n"
      L"[One_Data]\r\nCountOfFiles=1\r\nTextsCrc=" +
          CrcKeyText("abc") + L"\r\n[One_Files]\r\nFileName1=a.txt\r\nFileSize1=1\r\n",
      "abd");
  damaged.WritePayload("x");
  SetupState state = damaged.State();
  ASSERT_TRUE(ReadSetupScript(state));
  const Status extracted = ExtractTexts(state);
  ASSERT_FALSE(extracted) << "the damaged texts were taken";
  EXPECT_TRUE(extracted.Error().Is(FailureKind::Package));
  RecordingEvents seen;

  const std::wstring error = InstallError(state, {damaged.InstallFolder()}, seen);

  EXPECT_NE(error.find(L"Setup.dat"), std::wstring::npos) << Narrow(error);
  EXPECT_FALSE(FolderExists(damaged.InstallFolder()));
}
