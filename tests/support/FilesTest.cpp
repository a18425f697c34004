#include <gtest/gtest.h>

#include "TestUtil.h"
#include "support/Error.h"
#include "support/FileControl.h"
#include "support/FileSystem.h"

TEST(CopyFileBlocks, ResultCodesCreateNothingOnRefusal) {
  TempDir dir;
  WriteTextFile(dir / L"src.bin", "abc");
  EXPECT_EQ(CopyFileBlocks(dir / L"src.bin", dir / L"a.bin", 0), kCopyBadBlockSize);
  EXPECT_EQ(CopyFileBlocks(dir / L"src.bin", dir / L"a.bin", 1000001), kCopyBadBlockSize);
  EXPECT_FALSE(FileExists(dir / L"a.bin"));
  EXPECT_EQ(CopyFileBlocks(dir / L"missing.bin", dir / L"b.bin", 10), kCopyNoSource);
  EXPECT_FALSE(FileExists(dir / L"b.bin"));
  // The target's folder cannot be created below a file.
  EXPECT_EQ(CopyFileBlocks(dir / L"src.bin", dir / L"src.bin\\sub\\c.bin", 10),
            kCopyNoTargetFolder);
}

TEST(CopyFileBlocks, CopiesExactBlocksAndRemainders) {
  TempDir dir;
  for (int64_t size : {int64_t(0), int64_t(1), int64_t(199999), int64_t(400000), int64_t(400001)}) {
    std::wstring src = dir / (L"s" + std::to_wstring(size));
    std::wstring dst = dir / (L"deep\\er\\t" + std::to_wstring(size));
    WritePatternFile(src, size, static_cast<unsigned>(size));
    ASSERT_EQ(CopyFileBlocks(src, dst, 200000), kCopyDone) << size;
    EXPECT_EQ(ReadFileBytes(dst), ReadFileBytes(src)) << size;
  }
}

TEST(CopyFileBlocks, UnwritableTargetRaisesNamingTheFile) {
  TempDir dir;
  WriteTextFile(dir / L"src.bin", "abc");
  CreateDirectoryW((dir / L"target").c_str(), nullptr);  // a folder where the file should go
  try {
    CopyFileBlocks(dir / L"src.bin", dir / L"target", 10);
    FAIL() << "creating the target must fail";
  } catch (const KovrinError& e) {
    EXPECT_NE(e.Message().find(L"Cannot create file \"" + (dir / L"target") + L"\""),
              std::wstring::npos);
  }
}

TEST(ClearFolder, DeletesFilesKeepsSubFolders) {
  TempDir dir;
  WriteTextFile(dir / L"a.txt", "1");
  WriteTextFile(dir / L"b", "2");
  CreateDirectoryW((dir / L"sub").c_str(), nullptr);
  WriteTextFile(dir / L"sub\\keep.txt", "3");
  EXPECT_EQ(ClearFolder(dir.Path()), 0);
  EXPECT_FALSE(FileExists(dir / L"a.txt"));
  EXPECT_FALSE(FileExists(dir / L"b"));
  EXPECT_TRUE(FileExists(dir / L"sub\\keep.txt"));
}

TEST(FileSize, MissingFileAndSizes) {
  TempDir dir;
  EXPECT_EQ(GetFileSize32(dir / L"missing"), -1);
  WritePatternFile(dir / L"f", 1000001, 1);
  EXPECT_EQ(GetFileSize32(dir / L"f"), 1000001);
  EXPECT_EQ(GetFileSize64(dir / L"f"), 1000001);
}

TEST(ForceFolder, CreatesParentsAndRejectsEmptyPath) {
  TempDir dir;
  std::wstring deep = dir / L"a\\b\\c\\";
  EXPECT_TRUE(ForceFolder(deep));
  EXPECT_TRUE(FolderExists(dir / L"a\\b\\c"));
  EXPECT_TRUE(FolderExists(deep));
  EXPECT_TRUE(ForceFolder(L"C:"));
  EXPECT_THROW(ForceFolder(L""), KovrinError);
  WriteTextFile(dir / L"file", "x");
  EXPECT_FALSE(FolderExists(dir / L"file"));
  EXPECT_FALSE(ForceFolder(dir / L"file\\sub"));
}

TEST(BinaryFile, ReadExactReportsShortFile) {
  TempDir dir;
  WriteTextFile(dir / L"short", "12345");
  BinaryFile file = BinaryFile::OpenRead(dir / L"short");
  char buffer[10];
  try {
    file.ReadExact(buffer, 10);
    FAIL();
  } catch (const KovrinError& e) {
    EXPECT_NE(e.Message().find(dir / L"short"), std::wstring::npos);
  }
  EXPECT_THROW(BinaryFile::OpenRead(dir / L"none"), KovrinError);
}

TEST(PathHelpers, FolderAndBackslashes) {
  EXPECT_EQ(FolderOf(L"C:\\a\\b.txt"), L"C:\\a\\");
  EXPECT_EQ(FolderOf(L"b.txt"), L"");
  EXPECT_EQ(WithTrailingBackslash(L"C:\\a"), L"C:\\a\\");
  EXPECT_EQ(WithTrailingBackslash(L"C:\\a\\"), L"C:\\a\\");
  EXPECT_EQ(WithoutTrailingBackslash(L"C:\\a\\"), L"C:\\a");
}
