// What the install records is what it wrote, in a form its readers can use: one
// record per product in a shared folder, paths Windows-1251 can hold, and the
// link files exactly as they were saved.

#include <gtest/gtest.h>

#include "InstallFixtures.h"
#include "formats/UninstallRecord.h"
#include "setup/SetupState.h"
#include "setup/UninstallScript.h"
#include "support/CodePage.h"
#include "support/ComScope.h"
#include "support/Error.h"
#include "support/PathNames.h"
#include "support/ProfileFile.h"
#include "support/QRegistry.h"

namespace {
class InstallRecordTest : public RegisteredInstallTest {
 protected:
  std::wstring RegisteredCommand(const std::wstring& name) {
    return ReadRegText(HKEY_LOCAL_MACHINE, UninstallRegistryKey(name), L"UninstallString");
  }
};

std::wstring RecordValue(const std::wstring& record, const wchar_t* section, const wchar_t* key) {
  return ProfileFile::Load(record).ReadString(section, key, L"<missing>");
}
}  // namespace

TEST_F(InstallRecordTest, ASecondProductInTheSameFolderGetsARecordOfItsOwn) {
  TestPackage first;
  first.AddFile(L"first.exe", 10);
  InstallRegistered(first, shared);
  const std::string firstRecord = ReadFileBytes(shared + L"\\Uninst.ini");
  TestPackage second;
  second.AddFile(L"second.exe", 10);
  second.AddFile(L"common.txt", 10);
  InstallRegistered(second, shared);

  EXPECT_EQ(ReadFileBytes(shared + L"\\Uninst.ini"), firstRecord)
      << "the first record is untouched";
  const std::wstring secondRecord = shared + L"\\Uninst1.ini";
  EXPECT_EQ(RecordValue(secondRecord, L"Files", L"File1"), shared + L"\\second.exe");
  EXPECT_EQ(RecordValue(secondRecord, L"Files", L"FileCount"), L"2");
  EXPECT_EQ(RegisteredCommand(second.programName),
            windows + L"\\MVUninst.exe \"" + secondRecord + L"\" \"" + second.programName + L"\"");
  // Alone in its folder, the first keeps the command line it always had.
  EXPECT_EQ(
      RegisteredCommand(first.programName),
      windows + L"\\MVUninst.exe \"" + shared + L"\\Uninst.ini\" \"" + first.programName + L"\"");

  // The same product again reuses its own record; a third product takes the next name.
  InstallRegistered(second, shared);
  EXPECT_FALSE(FileExists(shared + L"\\Uninst2.ini"));
  EXPECT_EQ(RegisteredCommand(second.programName),
            windows + L"\\MVUninst.exe \"" + secondRecord + L"\" \"" + second.programName + L"\"");
  TestPackage third;
  third.AddFile(L"third.exe", 10);
  InstallRegistered(third, shared);
  EXPECT_EQ(RecordValue(shared + L"\\Uninst2.ini", L"Files", L"File1"), shared + L"\\third.exe");
}

TEST_F(InstallRecordTest, ARecordFromBeforeProductNamesBelongsToTheProductRegisteredWithIt) {
  TestPackage product;
  product.AddFile(L"prog.exe", 10);
  // An older install: a record without the product's name, registered for the product.
  ForceFolder(shared);
  WriteTextFile(shared + L"\\Uninst.ini", "[Files]\r\nFileCount=1\r\nFile1=" + Narrow(shared) +
                                              "\\prog.exe\r\n\r\n[ShortCuts]\r\nCount=0\r\n");
  RegistryKey::Create(HKEY_LOCAL_MACHINE, UninstallRegistryKey(product.programName))
      .WriteText(L"UninstallString", windows + L"\\MVUninst.exe \"" + shared +
                                         L"\\Uninst.ini\" \"" + product.programName + L"\"");
  InstallRegistered(product, shared);
  EXPECT_FALSE(FileExists(shared + L"\\Uninst1.ini"));
  EXPECT_EQ(RecordValue(shared + L"\\Uninst.ini", L"Files", L"FileCount"), L"1");

  // The same old record in the folder of a product it is not registered for is another's.
  TestPackage other;
  other.AddFile(L"other.exe", 10);
  const std::wstring elsewhere = dir / L"Elsewhere";
  ForceFolder(elsewhere);
  WriteTextFile(elsewhere + L"\\Uninst.ini", "[Files]\r\nFileCount=0\r\n");
  InstallRegistered(other, elsewhere);
  EXPECT_EQ(ReadFileBytes(elsewhere + L"\\Uninst.ini"), "[Files]\r\nFileCount=0\r\n");
  EXPECT_EQ(RecordValue(elsewhere + L"\\Uninst1.ini", L"Files", L"File1"),
            elsewhere + L"\\other.exe");
}

TEST_F(InstallRecordTest, EachFileIsRecordedWithItsSizeAndChecksum) {
  TestPackage product;
  product.AddFile(L"a.bin", 1000001);
  product.AddFile(L"empty.txt", 0);
  product.Write();
  SetupState state = StateOf(product);
  RecordingEvents seen;
  ASSERT_EQ(InstallError(state, {shared}, seen), L"");
  const std::wstring record = shared + L"\\Uninst.ini";
  EXPECT_EQ(RecordValue(record, L"Files", L"FileSize1"), L"1000001");
  EXPECT_EQ(RecordValue(record, L"Files", L"FileCrc1"), CrcKeyText(product.contents[0]));
  EXPECT_EQ(RecordValue(record, L"Files", L"FileSize2"), L"0");
  EXPECT_EQ(RecordValue(record, L"Files", L"FileCrc2"), L"00000000");
  EXPECT_EQ(RecordValue(record, L"Files", L"ProgramName"), product.programName);
}

TEST_F(InstallRecordTest, FoldersWindows1251CannotHoldAreRecordedInTheirShortForm) {
  // The script itself is Windows-1251: such a folder reaches the install as the
  // folder the user typed, or through a variable (here %InstallPath%, as a
  // profile folder under C:\Users\Zoë reaches %Desktop%): the links go to Müller\Links.
  const std::wstring folder = dir / L"Programme\\Müller";
  const std::wstring links = folder + L"\\Links";
  TestPackage product;
  product.AddFile(L"docs\\a.txt", 10);
  product.AddShortcut(
      {L"Программа", L"%InstallPath%\\Links", L"%InstallPath%\\docs\\a.txt", L"", L""});
  product.Write();
  SetupState state = StateOf(product);
  RecordingEvents seen;

  ASSERT_EQ(InstallError(state, {folder}, seen), L"");

  const std::wstring text = UninstallScriptText(folder);
  EXPECT_EQ(text.find(L'?'), std::wstring::npos) << Narrow(text);
  const std::wstring record = folder + L"\\Uninst.ini";
  const std::wstring file = RecordValue(record, L"Files", L"File1");
  const std::wstring link = RecordValue(record, L"ShortCuts", L"ShortCut1");
  EXPECT_TRUE(Cp1251CanHold(file)) << Narrow(file);
  EXPECT_TRUE(Cp1251CanHold(link)) << Narrow(link);
  EXPECT_EQ(ReadFileBytes(file), product.contents[0]) << Narrow(file);
  EXPECT_EQ(FoldedPath(LongFullPath(link)), FoldedPath(links + L"\\Программа.lnk")) << Narrow(link);
  EXPECT_TRUE(FileExists(links + L"\\Программа.lnk"));
}

TEST_F(InstallRecordTest, LinksAreWideAndRecordedExactlyAsSaved) {
  const std::wstring links = dir / L"Ярлыки";
  TestPackage product;
  product.AddFile(L"prog.exe", 10);
  product.AddShortcut(
      {L"Readme.lnk", links, L"%InstallPath%\\prog.exe", L"/режим \"полный\"", L"%InstallPath%"});
  product.AddShortcut({L"Нет цели", links, L"%InstallPath%\\missing.exe", L"", L""});
  product.AddShortcut({L"Программа", links, L"%InstallPath%\\prog.exe", L"", L""});
  product.Write();
  SetupState state = StateOf(product);
  RecordingEvents seen;

  ASSERT_EQ(InstallError(state, {shared}, seen), L"");

  const std::wstring record = shared + L"\\Uninst.ini";
  EXPECT_EQ(RecordValue(record, L"ShortCuts", L"ShortCut1"), links + L"\\Readme.lnk");
  EXPECT_EQ(RecordValue(record, L"ShortCuts", L"ShortCut2"), L"<missing>")
      << "a link that was not made is not recorded";
  EXPECT_EQ(RecordValue(record, L"ShortCuts", L"ShortCut3"), links + L"\\Программа.lnk");
  EXPECT_EQ(RecordValue(record, L"ShortCuts", L"Count"), L"2");
  const LinkFields readme = ReadLink(links + L"\\Readme.lnk");
  EXPECT_EQ(readme.Arguments, L"/режим \"полный\"");
  EXPECT_EQ(readme.WorkingFolder, shared);
}

// Each save replaces the record whole; one that cannot be made says why, once.
TEST(UninstallScriptSave, ReplacesTheRecordWholeOrSaysWhyNot) {
  TempDir dir;
  SetupState state;
  state.UninstallScriptPath = dir / L"Uninst.ini";
  WriteTextFile(state.UninstallScriptPath, "an older, longer record than the one saved now");
  state.UninstallScript.WriteString(uninstall::kFilesSection, L"FileCount", L"0");
  ASSERT_TRUE(SaveUninstallScript(state));
  EXPECT_EQ(ReadFileBytes(state.UninstallScriptPath), state.UninstallScript.ToBytes());
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"Uninst.ini"});

  state.UninstallScriptPath = dir / L"missing\\Uninst.ini";
  const Status saved = SaveUninstallScript(state);
  ASSERT_FALSE(saved) << "saved into a missing folder";
  EXPECT_EQ(
      saved.Error().Message(),
      SystemErrorMessage(L"Unable to write to " + state.UninstallScriptPath, ERROR_PATH_NOT_FOUND));
}
