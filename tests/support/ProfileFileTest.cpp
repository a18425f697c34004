#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "support/CodePage.h"
#include "support/Error.h"
#include "support/ProfileFile.h"

namespace {
// A case: the INI text and lookups; each lookup is compared with the platform's reader.
struct DiffCase {
  const char* name;
  std::string text;
  std::vector<std::pair<std::wstring, std::wstring>> lookups;  // section, key
};

std::wstring PlatformRead(const std::wstring& path, const std::wstring& section,
                          const std::wstring& key) {
  std::wstring buffer(2048, L'\0');
  DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"<default>", buffer.data(),
                                          2048, path.c_str());
  buffer.resize(length);
  return buffer;
}
}  // namespace

// The same tricky texts through our reader and the platform's; they must agree.
TEST(ProfileFileDifferential, AgreesWithThePlatformReader) {
  std::string longValue(3000, 'v');
  std::vector<DiffCase> cases = {
      {"blanks",
       "[Main]\r\n  Key1  =  spaced value  \r\n\tKey2=\ttab\t\r\nKey3=\r\nKey4 =x\r\n",
       {{L"Main", L"Key1"},
        {L"Main", L"Key2"},
        {L"Main", L"Key3"},
        {L"Main", L"Key4"},
        {L" Main ", L" Key1 "}}},
      {"quotes",
       "[Q]\r\na=\"quoted\"\r\nb='single'\r\nc=\"mixed'\r\nd=\"\r\ne=\"\"\r\nf= \"x y\" "
       "\r\ng=\"in\"side\"\r\n",
       {{L"Q", L"a"},
        {L"Q", L"b"},
        {L"Q", L"c"},
        {L"Q", L"d"},
        {L"Q", L"e"},
        {L"Q", L"f"},
        {L"Q", L"g"}}},
      {"duplicate sections and keys",
       "[S]\r\nk=first\r\nk=second\r\n[T]\r\nz=1\r\n[s]\r\nk=third\r\nonly=later\r\n",
       {{L"S", L"k"}, {L"s", L"K"}, {L"S", L"only"}, {L"T", L"z"}}},
      {"keys without equals",
       "[N]\r\nlonely\r\nafter=1\r\nlonely=2\r\n",
       {{L"N", L"lonely"}, {L"N", L"after"}}},
      {"lines before the first section",
       "orphan=1\r\n\r\n[A]\r\nx=2\r\n",
       {{L"A", L"orphan"}, {L"A", L"x"}}},
      {"missing final newline", "[A]\r\nx=1\r\ny=last", {{L"A", L"x"}, {L"A", L"y"}}},
      {"very long value", "[L]\r\nlong=" + longValue + "\r\n", {{L"L", L"long"}}},
      {"mixed case",
       "[One_ShortCuts]\r\nShortCutSavePath1=%Desktop%\r\n",
       {{L"One_Shortcuts", L"shortcutsavepath1"}, {L"ONE_SHORTCUTS", L"SHORTCUTSAVEPATH1"}}},
      {"bare LF and blank lines",
       "[A]\n\n\nx=1\n[B]\ny=2\n",
       {{L"A", L"x"}, {L"B", L"y"}, {L"B", L"x"}}},
      {"section header oddities",
       "[ Spaced ]\r\na=1\r\n[Broken\r\nb=2\r\n[Tail]junk\r\nc=3\r\n",
       {{L"Spaced", L"a"}, {L" Spaced ", L"a"}, {L"Tail", L"c"}, {L"Broken", L"b"}}},
      {"missing section and key", "[A]\r\nx=1\r\n", {{L"B", L"x"}, {L"A", L"y"}}},
      {"equals in value", "[E]\r\nurl=http://x/?a=b=c\r\n", {{L"E", L"url"}}},
  };
  TempDir dir;
  for (const DiffCase& c : cases) {
    std::wstring path = dir / L"case.ini";
    WriteTextFile(path, c.text);
    ProfileFile ours = ProfileFile::Load(path);
    for (const auto& [section, key] : c.lookups) {
      std::wstring platform = PlatformRead(path, section, key);
      std::wstring mine = ours.ReadString(section, key, L"<default>");
      EXPECT_EQ(Narrow(mine), Narrow(platform))
          << "case '" << c.name << "', [" << Narrow(section) << "] " << Narrow(key);
    }
  }
}

TEST(ProfileFile, RewriteKeepsPlaceAppendsKeysAndSections) {
  ProfileFile profile =
      LoadProfileText(L"; header comment\r\n[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
  profile.WriteString(L"a", L"X",
                      L"10");  // existing key, other case: same place, original spelling
  profile.WriteString(L"A", L"new", L"n");  // new key: end of its section, before the blank line
  profile.WriteString(L"C", L"k", L"v");    // new section: end of file
  EXPECT_EQ(
      ProfileText(profile),
      L"; header comment\r\n[A]\r\nx=10\r\ny=2\r\nnew=n\r\n\r\n[B]\r\nz=3\r\n\r\n[C]\r\nk=v\r\n");
  EXPECT_EQ(profile.ReadString(L"A", L"x", L""), L"10");
}

TEST(ProfileFile, EmptyProfileWritesCrLfSections) {
  ProfileFile profile;
  profile.WriteString(L"Main", L"A", L"1");
  profile.WriteString(L"Main", L"B", L"");
  profile.WriteString(L"Next", L"C", L"3");
  EXPECT_EQ(ProfileText(profile), L"[Main]\r\nA=1\r\nB=\r\n\r\n[Next]\r\nC=3\r\n");
  EXPECT_TRUE(profile.HasKey(L"main", L"b"));
  EXPECT_FALSE(profile.HasKey(L"main", L"zz"));
}

TEST(ProfileFile, ReadSectionListsKeysInOrder) {
  ProfileFile profile = LoadProfileText(L"[Files]\r\nFile3=c\r\nFile1=\"a\"\r\nnovalue\r\n");
  auto pairs = profile.ReadSection(L"files");
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0].first, L"File3");
  EXPECT_EQ(pairs[1].second, L"a");
  EXPECT_TRUE(profile.ReadSection(L"none").empty());
}

// A failed save says once which file it could not write, and why; the file it
// would have replaced is left whole, with nothing beside it.
TEST(ProfileFile, AFailedSaveNamesTheFileOnceAndKeepsTheOldOne) {
  TempDir dir;
  ProfileFile profile;
  profile.WriteString(L"A", L"b", L"c");
  const std::wstring nowhere = dir / L"no\\such\\folder.ini";
  try {
    profile.Save(nowhere);
    ADD_FAILURE() << "a save into a missing folder went through";
  } catch (const KovrinError& error) {
    EXPECT_EQ(error.Message(),
              SystemErrorMessage(L"Unable to write to " + nowhere, ERROR_PATH_NOT_FOUND));
  }

  const std::wstring kept = dir / L"kept.ini";
  WriteTextFile(kept, "[Old]\r\nx=1\r\n");
  SetFileAttributesW(kept.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_THROW(profile.Save(kept), KovrinError);
  SetFileAttributesW(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFileBytes(kept), "[Old]\r\nx=1\r\n");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"kept.ini"});
}

// Odd lines stay where they are; a new key goes after the section's last key
// line (one without "=" counts), before the blank lines that trail it.
TEST(ProfileFile, WritesIntoALoadedFileKeepingEveryOtherLine) {
  ProfileFile profile = LoadProfileText(
      L"; comment\r\n\r\n[A]\r\n  spaced = 1  \r\nnovalue\r\n\r\n   "
      L"\r\n[B]\r\n\r\n[A]\r\nx=dup\r\n");
  profile.WriteString(L"A", L"added", L"2");
  profile.WriteString(L"b", L"first", L"3");
  profile.WriteString(L"A", L"NOVALUE", L"now");
  profile.WriteString(L"New", L"k", L"  trimmed  ");
  EXPECT_EQ(ProfileText(profile),
            L"; comment\r\n\r\n[A]\r\nspaced=1\r\nnovalue=now\r\nadded=2\r\n\r\n   \r\n[B]\r\n"
            L"first=3\r\n\r\n[A]\r\nx=dup\r\n\r\n[New]\r\nk=trimmed\r\n");
  EXPECT_EQ(profile.ReadString(L"a", L"novalue", L"-"), L"now");
  EXPECT_EQ(profile.ReadString(L"A", L"x", L"-"), L"-");  // only the first [A] is read
  EXPECT_EQ(profile.KeyCount(L"a"), 3u);
  EXPECT_EQ(profile.KeyCount(L"missing"), 0u);
}

// Names fold case beyond ASCII; what the code page lacks is stored as the file
// will hold it, so the profile reads back what a reload would read.
TEST(ProfileFile, CyrillicNamesAndCharactersTheCodePageLacks) {
  ProfileFile profile;
  profile.WriteString(L"Раздел", L"Ключ", L"значение");
  profile.WriteString(L"РАЗДЕЛ", L"другой", L"日本");
  EXPECT_EQ(profile.ReadString(L"раздел", L"КЛЮЧ", L""), L"значение");
  EXPECT_EQ(profile.ReadString(L"Раздел", L"Другой", L""), L"??");
  const std::string bytes = profile.ToBytes();
  EXPECT_EQ(bytes, ToCp1251(L"[Раздел]\r\nКлюч=значение\r\nдругой=??\r\n"));
  EXPECT_EQ(LoadProfileText(FromCp1251(bytes)).ToBytes(), bytes);
}

// Save streams through a small buffer: a file larger than the buffer, with a
// value larger than it, comes back byte for byte; values read cut at 2,047.
TEST(ProfileFile, SaveAndLoadLargeFilesByteForByte) {
  TempDir dir;
  ProfileFile profile;
  for (int i = 0; i < 5000; ++i)
    profile.WriteString(L"Rows", L"Key" + std::to_wstring(i), L"value " + std::to_wstring(i));
  const std::wstring huge(100000, L'ж');
  profile.WriteString(L"Big", L"huge", huge);
  const std::wstring path = dir / L"large.ini";
  profile.Save(path);
  EXPECT_EQ(ReadFileBytes(path), profile.ToBytes());
  ProfileFile loaded = ProfileFile::Load(path);
  EXPECT_EQ(loaded.ToBytes(), profile.ToBytes());
  EXPECT_EQ(loaded.ReadString(L"rows", L"KEY4999", L""), L"value 4999");
  EXPECT_EQ(loaded.ReadString(L"big", L"huge", L""), huge.substr(0, 2047));
  EXPECT_EQ(loaded.KeyCount(L"Rows"), 5000u);
}

// Reads in file order take a shortcut past the index; it must still give the
// first key of a name, never a later duplicate, and never a key of another section.
TEST(ProfileFile, ReadsInFileOrderStillGiveTheFirstKeyOfAName) {
  const ProfileFile profile = LoadProfileText(
      L"[S]\r\nA=1\r\nB=2\r\nA=dup\r\nB=dup\r\nC=3\r\n[T]\r\nA=t\r\nC=tc\r\n[s]\r\nA=other\r\n");
  const std::vector<std::pair<std::wstring, std::wstring>> reads = {
      {L"S", L"A"}, {L"S", L"B"}, {L"S", L"A"}, {L"S", L"B"}, {L"S", L"C"}, {L"T", L"A"},
      {L"T", L"C"}, {L"S", L"C"}, {L"s", L"a"}, {L"T", L"a"}, {L"S", L"C"}};
  const std::vector<std::wstring> expected = {L"1",  L"2", L"1", L"2", L"3", L"t",
                                              L"tc", L"3", L"1", L"t", L"3"};
  for (size_t i = 0; i < reads.size(); ++i)
    EXPECT_EQ(profile.ReadString(reads[i].first, reads[i].second, L"-"), expected[i]) << i;
}

// A reservation changes nothing that is written: the reserved section still
// appears where its first key is written.
TEST(ProfileFile, ReservingRoomChangesNothingWritten) {
  ProfileFile reserved;
  reserved.Reserve(L"Rows", 1000, 100000);
  reserved.WriteString(L"Main", L"a", L"1");
  for (int i = 0; i < 1000; ++i) reserved.WriteString(L"rows", L"k" + std::to_wstring(i), L"v");
  ProfileFile plain;
  plain.WriteString(L"Main", L"a", L"1");
  for (int i = 0; i < 1000; ++i) plain.WriteString(L"rows", L"k" + std::to_wstring(i), L"v");
  EXPECT_EQ(reserved.ToBytes(), plain.ToBytes());
  EXPECT_EQ(reserved.ToBytes().rfind("[Main]\r\na=1\r\n\r\n[rows]\r\nk0=v\r\n", 0), 0u);
  reserved.Reserve(L"Main", 10, 10);  // an existing section
  reserved.WriteString(L"Main", L"b", L"2");
  EXPECT_EQ(reserved.ReadString(L"main", L"B", L""), L"2");
}
