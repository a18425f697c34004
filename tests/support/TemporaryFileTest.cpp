// Replacing a file through a temporary one beside it: nothing is left behind
// unless committed, a commit replaces the target whole or not at all, and no
// file that was there before is ever opened.

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "support/Error.h"
#include "support/FileSystem.h"

namespace {
class TemporaryFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::wstring target = dir / L"Проект.kovrin";
};
}  // namespace

TEST_F(TemporaryFileTest, UncommittedItIsGoneAndTheTargetUntouched) {
  {
    TemporaryFile file(target);
    file.File().Write(std::string("never committed"));
    EXPECT_TRUE(FileExists(file.Path()));
    EXPECT_EQ(FolderOf(file.Path()), FolderOf(target));
    EXPECT_NE(file.Path(), target);
  }
  EXPECT_TRUE(FilesIn(dir.Path()).empty());

  WriteTextFile(target, "old");
  try {
    TemporaryFile file(target);
    file.File().Write(std::string("half written"));
    throw KovrinError(L"stopped while writing");
  } catch (const KovrinError&) {
  }
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"Проект.kovrin"});
}

TEST_F(TemporaryFileTest, CommitReplacesTheTargetsBytes) {
  WriteTextFile(target, "a longer old content than the new one");
  {
    TemporaryFile file(target);
    file.File().Write(std::string("new"));
    file.Commit();
  }
  EXPECT_EQ(ReadFileBytes(target), "new");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"Проект.kovrin"});

  ReplaceFileBytes(target, "replaced again");
  EXPECT_EQ(ReadFileBytes(target), "replaced again");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"Проект.kovrin"});
}

TEST_F(TemporaryFileTest, AReadOnlyTargetIsRefusedAndKept) {
  WriteTextFile(target, "keep me");
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    TemporaryFile file(target);
    file.File().Write(std::string("refused"));
    try {
      file.Commit();
      ADD_FAILURE() << "replaced a read-only file";
    } catch (const KovrinError& error) {
      EXPECT_EQ(error.Message(),
                SystemErrorMessage(L"Cannot create file \"" + target + L"\"", ERROR_ACCESS_DENIED));
    }
  }
  // The save helper says it once, in the same shape.
  try {
    ReplaceFileBytes(target, "refused");
    ADD_FAILURE() << "replaced a read-only file";
  } catch (const KovrinError& error) {
    EXPECT_EQ(error.Message(),
              SystemErrorMessage(L"Unable to write to " + target, ERROR_ACCESS_DENIED));
  }
  EXPECT_EQ(ReadFileBytes(target), "keep me");
  EXPECT_EQ(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"Проект.kovrin"});
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(TemporaryFileTest, APlantedFileOrFolderOfItsNameIsNeverTouched) {
  std::wstring first;
  std::wstring second;
  {
    TemporaryFile probe(target);
    first = probe.Path();
    TemporaryFile next(target);  // the name after a taken one
    second = next.Path();
  }
  ASSERT_NE(first, second);
  WriteTextFile(first, "planted");
  ASSERT_TRUE(CreateDirectoryW(second.c_str(), nullptr));

  {
    TemporaryFile file(target);
    EXPECT_NE(file.Path(), first);
    EXPECT_NE(file.Path(), second);
    file.File().Write(std::string("mine"));
    file.Commit();
  }
  EXPECT_EQ(ReadFileBytes(first), "planted");
  EXPECT_TRUE(FolderExists(second));
  EXPECT_EQ(ReadFileBytes(target), "mine");
  RemoveDirectoryW(second.c_str());
}

TEST_F(TemporaryFileTest, AFolderThatIsMissingFailsAtOnceNamingTheTarget) {
  const std::wstring nowhere = dir / L"missing\\file.bin";
  try {
    TemporaryFile file(nowhere);
    ADD_FAILURE() << "made a file in a missing folder";
  } catch (const KovrinError& error) {
    EXPECT_EQ(error.Message().rfind(L"Cannot create file \"" + nowhere + L"\". ", 0), 0u)
        << Narrow(error.Message());
  }
  EXPECT_FALSE(FolderExists(dir / L"missing"));
}
