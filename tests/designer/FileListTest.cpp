#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "TestUtil.h"
#include "designer/FileList.h"
#include "support/FileSystem.h"

namespace {
class RecordingSink : public FileRowSink {
 public:
  std::vector<FileEntry> rows;
  std::vector<std::wstring> refused;
  std::vector<FileRefusal> reasons;
  size_t stopAfter = SIZE_MAX;
  bool AddFileRow(FileEntry entry) override {
    rows.push_back(std::move(entry));
    return rows.size() < stopAfter;
  }
  void RefuseFile(const std::wstring& path, FileRefusal reason) override {
    refused.push_back(path);
    reasons.push_back(reason);
  }

  const FileEntry* Find(const std::wstring& relative) const {
    for (const FileEntry& row : rows)
      if (row.RelativeName == relative)
        return &row;
    return nullptr;
  }
};

}  // namespace

TEST(AddFolderTree, RelativeNamesLocalFolderAndSizesDepthFirst) {
  TempDir dir;
  CreateDirectoryW((dir / L"work").c_str(), nullptr);
  CreateDirectoryW((dir / L"work\\sub").c_str(), nullptr);
  CreateDirectoryW((dir / L"work\\sub\\deeper").c_str(), nullptr);
  CreateDirectoryW((dir / L"work\\empty").c_str(), nullptr);
  WritePatternFile(dir / L"work\\a.txt", 10, 1);
  WritePatternFile(dir / L"work\\sub\\b.dll", 2500, 2);
  WritePatternFile(dir / L"work\\sub\\deeper\\Файл.dat", 0, 3);
  WritePatternFile(dir / L"work\\z.bin", 7, 4);
  SetFileAttributesW((dir / L"work\\z.bin").c_str(), FILE_ATTRIBUTE_HIDDEN);

  RecordingSink sink;
  std::wstring root = dir / L"work";
  ASSERT_TRUE(AddFolderTree(root, root, sink));
  ASSERT_EQ(sink.rows.size(), 4u);
  for (const FileEntry& row : sink.rows)
    EXPECT_EQ(row.LocalFolder, root) << Narrow(row.RelativeName);
  ASSERT_NE(sink.Find(L"a.txt"), nullptr);
  EXPECT_EQ(sink.Find(L"a.txt")->Size, 10);
  ASSERT_NE(sink.Find(L"sub\\b.dll"), nullptr);
  EXPECT_EQ(sink.Find(L"sub\\b.dll")->Size, 2500);
  ASSERT_NE(sink.Find(L"sub\\deeper\\Файл.dat"), nullptr);
  EXPECT_EQ(sink.Find(L"sub\\deeper\\Файл.dat")->Size, 0);
  ASSERT_NE(sink.Find(L"z.bin"), nullptr);  // hidden files are listed too

  // Depth first: the subtree's rows stand together, deeper ones right after sub's own.
  auto index = [&](const std::wstring& name) {
    return std::find_if(sink.rows.begin(), sink.rows.end(),
                        [&](const FileEntry& e) { return e.RelativeName == name; }) -
           sink.rows.begin();
  };
  EXPECT_EQ(std::abs(index(L"sub\\b.dll") - index(L"sub\\deeper\\Файл.dat")), 1);
  EXPECT_TRUE(sink.refused.empty());
}

TEST(AddFolderTree, DriveRootKeepsItsBackslashAndNamesHaveNoLeadingOne) {
  TempDir dir;
  WritePatternFile(dir / L"x.txt", 3, 1);
  // A root given with its trailing "\" (as a drive root is) cuts that "\" too.
  RecordingSink sink;
  ASSERT_TRUE(AddFolderTree(dir.Path(), dir.Path() + L"\\", sink));
  ASSERT_EQ(sink.rows.size(), 1u);
  EXPECT_EQ(sink.rows[0].RelativeName, L"x.txt");
  EXPECT_EQ(sink.rows[0].LocalFolder, dir.Path() + L"\\");
}

TEST(AddFolderTree, StopsWhenTheSinkSaysSoAndSkipsMissingFolders) {
  TempDir dir;
  for (int i = 0; i < 5; ++i) WritePatternFile(dir / (L"f" + std::to_wstring(i)), 1, i);
  RecordingSink sink;
  sink.stopAfter = 2;
  EXPECT_FALSE(AddFolderTree(dir.Path(), dir.Path(), sink));
  EXPECT_EQ(sink.rows.size(), 2u);

  RecordingSink none;
  EXPECT_TRUE(AddFolderTree(dir / L"missing", dir.Path(), none));
  EXPECT_TRUE(none.rows.empty());
}

TEST(AddFolderTree, DoesNotFollowAFolderLinkBackIntoTheTree) {
  TempDir dir;
  CreateDirectoryW((dir / L"tree").c_str(), nullptr);
  WritePatternFile(dir / L"tree\\one.txt", 1, 1);
  std::wstring link = dir / L"tree\\loop";
  if (!CreateSymbolicLinkW(link.c_str(), (dir / L"tree").c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY))
    GTEST_SKIP() << "folder links are not available here";
  RecordingSink sink;
  EXPECT_TRUE(AddFolderTree(dir / L"tree", dir / L"tree", sink));
  RemoveDirectoryW(link.c_str());
  ASSERT_EQ(sink.rows.size(), 1u);
  EXPECT_EQ(sink.rows[0].RelativeName, L"one.txt");
}

TEST(AddFolderTree, RefusesFilesOfTwoGibibytesOrMoreByName) {
  TempDir dir;
  MakeSparseFile(dir / L"huge.iso", kPackageFileLimit);
  MakeSparseFile(dir / L"largest.bin", kPackageFileLimit - 1);
  RecordingSink sink;
  ASSERT_TRUE(AddFolderTree(dir.Path(), dir.Path(), sink));
  ASSERT_EQ(sink.refused.size(), 1u);
  EXPECT_EQ(sink.refused[0], dir / L"huge.iso");
  ASSERT_EQ(sink.rows.size(), 1u);
  EXPECT_EQ(sink.rows[0].Size, kPackageFileLimit - 1);
}

TEST(SingleFileEntry, NameFolderSizeAndRefusal) {
  TempDir dir;
  WritePatternFile(dir / L"setup.cfg", 123, 1);
  auto entry = SingleFileEntry(dir / L"setup.cfg");
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->RelativeName, L"setup.cfg");
  EXPECT_EQ(entry->LocalFolder, dir.Path() + L"\\");
  EXPECT_EQ(entry->Size, 123);
  EXPECT_EQ(entry->SourcePath(), dir / L"setup.cfg");

  // A path written with "/" splits at it too: the row names the file alone and
  // still leads back to it.
  ForceFolder(dir / L"sub");
  WritePatternFile(dir / L"sub\\a.txt", 7, 2);
  auto slashed = SingleFileEntry(dir.Path() + L"/sub/a.txt");
  ASSERT_TRUE(slashed.has_value());
  EXPECT_EQ(slashed->RelativeName, L"a.txt");
  EXPECT_EQ(slashed->Size, 7);
  EXPECT_EQ(GetFileSize64(slashed->SourcePath()), 7);

  auto missing = SingleFileEntry(dir / L"gone.txt");
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(missing->Size, -1);

  MakeSparseFile(dir / L"big.vhd", kPackageFileLimit + 5);
  EXPECT_FALSE(SingleFileEntry(dir / L"big.vhd").has_value());
}

TEST(FileNames, NamesWindows1251CannotHoldAreRefusedWhenAdded) {
  TempDir dir;
  WritePatternFile(dir / L"日本.txt", 5, 1);
  WritePatternFile(dir / L"Файл ёж.txt", 5, 2);
  FileRefusal why = FileRefusal::TooLarge;
  EXPECT_FALSE(SingleFileEntry(dir / L"日本.txt", &why).has_value());
  EXPECT_EQ(why, FileRefusal::NameNotInCodePage);
  EXPECT_TRUE(SingleFileEntry(dir / L"Файл ёж.txt").has_value());

  ForceFolder(dir / L"tree\\Zoë");
  WritePatternFile(dir / L"tree\\Zoë\\a.txt", 5, 3);
  WritePatternFile(dir / L"tree\\ok.txt", 5, 4);
  RecordingSink sink;
  ASSERT_TRUE(AddFolderTree(dir / L"tree", dir / L"tree", sink));
  ASSERT_EQ(sink.rows.size(), 1u);
  EXPECT_EQ(sink.rows[0].RelativeName, L"ok.txt");
  EXPECT_EQ(sink.refused, std::vector<std::wstring>{dir / L"tree\\Zoë\\a.txt"});
  EXPECT_EQ(sink.reasons, std::vector<FileRefusal>{FileRefusal::NameNotInCodePage});

  const std::wstring text = RefusedFilesText(FileRefusal::NameNotInCodePage, sink.refused);
  EXPECT_NE(text.find(dir / L"tree\\Zoë\\a.txt"), std::wstring::npos);
  EXPECT_NE(text.find(L"Windows-1251"), std::wstring::npos);
}

TEST(FileTotals, RunningSumAndLabelTexts) {
  FileTotals totals;
  totals.Add(100);
  totals.Add(-1);
  totals.Add(2000000000);
  totals.Add(2000000000);
  EXPECT_EQ(totals.Count(), 4);
  EXPECT_EQ(totals.Total(), 4000000099);
  totals.Remove(100);
  EXPECT_EQ(totals.Count(), 3);
  EXPECT_EQ(FileCountText(totals.Count()), L"Всего файлов: 3");
  // Only the low 32 bits of the total are shown, signed, as the package stores it.
  EXPECT_EQ(TotalSizeText(totals.Total()), L"Общий размер: -294967297 байт");
  totals.Clear();
  EXPECT_EQ(FileCountText(totals.Count()), L"Всего файлов: 0");
  EXPECT_EQ(TotalSizeText(totals.Total()), L"Общий размер: 0 байт");
  EXPECT_EQ(SizeText(-1), L"-1");
}
