#include <gtest/gtest.h>

#include <functional>

#include "TestUtil.h"
#include "support/Error.h"
#include "support/FileChecksum.h"
#include "support/FileControl.h"
#include "support/FileSystem.h"
#include "support/LogFile.h"

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

// A new file only where the name is free; a taken name, by a file or a folder,
// is left as it is, and a name that cannot be made at all is an error.
TEST(BinaryFile, CreateNewTakesOnlyAFreeName) {
  TempDir dir;
  WriteTextFile(dir / L"taken.txt", "keep");
  ForceFolder(dir / L"folder");

  std::optional<BinaryFile> made = BinaryFile::CreateNew(dir / L"new.txt");
  ASSERT_TRUE(made.has_value());
  made->Write(std::string("abc"));
  made->Close();
  EXPECT_EQ(ReadFileBytes(dir / L"new.txt"), "abc");

  EXPECT_FALSE(BinaryFile::CreateNew(dir / L"taken.txt").has_value());
  EXPECT_EQ(ReadFileBytes(dir / L"taken.txt"), "keep");
  EXPECT_FALSE(BinaryFile::CreateNew(dir / L"folder").has_value());
  EXPECT_TRUE(FolderExists(dir / L"folder"));
  EXPECT_THROW(BinaryFile::CreateNew(dir / L"no\\such\\folder.txt"), KovrinError);

  bool existed = false;
  BinaryFile::Create(dir / L"taken.txt", &existed).Close();  // Create replaces it
  EXPECT_TRUE(existed);
  EXPECT_EQ(ReadFileBytes(dir / L"taken.txt"), "");
}

TEST(PathHelpers, FolderAndBackslashes) {
  EXPECT_EQ(FolderOf(L"C:\\a\\b.txt"), L"C:\\a\\");
  EXPECT_EQ(FolderOf(L"b.txt"), L"");
  EXPECT_EQ(WithTrailingBackslash(L"C:\\a"), L"C:\\a\\");
  EXPECT_EQ(WithTrailingBackslash(L"C:\\a\\"), L"C:\\a\\");
  EXPECT_EQ(WithoutTrailingBackslash(L"C:\\a\\"), L"C:\\a");
}

namespace {
std::wstring RaisedMessage(const std::function<void()>& action) {
  try {
    action();
  } catch (const KovrinError& error) {
    return error.Message();
  }
  return L"(nothing raised)";
}
}  // namespace

// The forms that give the problem instead of raising it (for a program built
// without exceptions) fail where the raising ones do, with the same words.
TEST(ReadWholeFile, QuietFormsFailAsTheRaisingOnesDo) {
  TempDir dir;
  const std::wstring text = dir / L"a.ini";
  WriteTextFile(text, "[A]\r\nKey=value\r\n");
  std::wstring problem = L"untouched";
  EXPECT_EQ(ReadWholeFile(text, problem), ReadWholeFile(text));
  EXPECT_EQ(ProfileFile::Load(text, problem)->ReadString(L"A", L"Key", L""), L"value");
  EXPECT_EQ(problem, L"untouched");
  EXPECT_TRUE(ProfileFile::Load(dir / L"missing.ini", problem).has_value());  // an empty profile

  const FileHandle locked(
      CreateFileW(text.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(locked.Valid());
  for (const std::wstring& path : {dir / L"missing.ini", text}) {
    EXPECT_FALSE(ReadWholeFile(path, problem));
    EXPECT_EQ(problem, RaisedMessage([&] { ReadWholeFile(path); })) << Narrow(path);
  }
  EXPECT_FALSE(ProfileFile::Load(text, problem));
  EXPECT_EQ(problem, RaisedMessage([&] { ProfileFile::Load(text); }));
  EXPECT_NE(problem.find(L"Cannot open file"), std::wstring::npos) << Narrow(problem);

  const std::wstring log = dir / L"no such folder\\a.log";
  EXPECT_FALSE(LogFile::Create(log, problem));
  EXPECT_EQ(problem, RaisedMessage([&] { LogFile::Create(log); }));
  EXPECT_TRUE(LogFile::Create(dir / L"a.log", problem).has_value());
}

TEST(FileChecksum, QuietFormGivesNothingForAnUnreadableHandle) {
  TempDir dir;
  const std::wstring path = dir / L"data.bin";
  WriteTextFile(path, "some bytes to sum");
  const FileHandle readable(CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
  EXPECT_EQ(TryHandleCrc32(readable.Get()), FileCrc32(path));
  const FileHandle writeOnly(CreateFileW(path.c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         0, nullptr));
  EXPECT_FALSE(TryHandleCrc32(writeOnly.Get()));
  EXPECT_NE(RaisedMessage([&] { HandleCrc32(writeOnly.Get(), path); }).find(L"Unable to read from"),
            std::wstring::npos);
}

TEST(ReadWholeFile, RefusesAFileLargerThanOneRead) {
  TempDir dir;
  const std::wstring path = dir / L"huge.bin";
  {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file.Valid());
    LARGE_INTEGER end{};
    end.QuadPart = (int64_t{1} << 32) + 10;  // 10 bytes once cut to 32 bits
    ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.Get()));
  }
  try {
    ReadWholeFile(path);
    FAIL() << "a file of 4 GiB + 10 bytes was read";
  } catch (const KovrinError& error) {
    EXPECT_NE(error.Message().find(L"too large"), std::wstring::npos);
    std::wstring problem;
    EXPECT_FALSE(ReadWholeFile(path, problem));
    EXPECT_EQ(problem, error.Message());
  }
}
