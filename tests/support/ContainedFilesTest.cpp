// Files below a folder reached only through handles that stay inside it: what
// the system reports for a handle, and the walk that refuses links and paths
// that lead elsewhere.

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "support/ContainedFiles.h"
#include "support/FileSystem.h"

namespace {
// A directory symbolic link where the system can make one (Windows needs the
// privilege; Wine may not implement it): the test then says so and skips.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
  return CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
         GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}  // namespace

TEST(ContainedFilesTest, PlainFilesOpenAndEverythingElseIsNamed) {
  TempDir dir;
  const std::wstring root = dir / L"Program";
  ForceFolder(root + L"\\sub");
  WriteTextFile(root + L"\\sub\\a.txt", "12345");
  WriteTextFile(root + L"\\plain.txt", "x");
  WriteTextFile(dir / L"outside.txt", "y");

  ContainedFile file = OpenContained(root, root + L"\\sub\\a.txt", GENERIC_READ);
  ASSERT_EQ(file.Status, ContainedStatus::Opened);
  EXPECT_EQ(HandleFileSize(file.Handle.Get()), 5);
  EXPECT_FALSE(file.Attributes & FILE_ATTRIBUTE_DIRECTORY);
  // The system's own name for the handle, in the drive-letter form.
  EXPECT_EQ(_wcsicmp(HandleFinalPath(file.Handle.Get()).c_str(), (root + L"\\sub\\a.txt").c_str()),
            0)
      << HandleFinalPath(file.Handle.Get()).size();

  EXPECT_EQ(OpenContained(root, root + L"\\sub\\gone.txt", 0).Status, ContainedStatus::Missing);
  EXPECT_EQ(OpenContained(root, root + L"\\nofolder\\a.txt", 0).Status, ContainedStatus::Missing);
  EXPECT_EQ(OpenContained(root, root + L"\\plain.txt\\a.txt", 0).Status, ContainedStatus::Missing);
  EXPECT_EQ(OpenContained(root, root + L"\\..\\outside.txt", 0).Status,
            ContainedStatus::Redirected);
  EXPECT_EQ(OpenContained(root, root, 0).Status, ContainedStatus::Redirected);

  EXPECT_TRUE(IsContainedPath(root, root + L"\\sub\\new\\deeper"));
  EXPECT_TRUE(IsContainedPath(root, root));
  EXPECT_FALSE(IsContainedPath(root, dir / L"elsewhere"));
}

TEST(ContainedFilesTest, DeletingThroughTheHandleRemovesTheFileItNames) {
  TempDir dir;
  WriteTextFile(dir / L"a.txt", "x");
  {
    ContainedFile file = OpenContained(dir.Path(), dir / L"a.txt", DELETE);
    ASSERT_EQ(file.Status, ContainedStatus::Opened);
    EXPECT_TRUE(DeleteThroughHandle(file.Handle.Get()));
  }
  EXPECT_FALSE(FileExists(dir / L"a.txt"));
}

TEST(ContainedFilesTest, AFolderLinkIsNeverFollowed) {
  TempDir dir;
  const std::wstring root = dir / L"Program";
  const std::wstring victim = dir / L"Victim";
  ForceFolder(root);
  ForceFolder(victim);
  WriteTextFile(victim + L"\\victim.txt", "someone else's");
  if (!MakeFolderLink(root + L"\\evil", victim))
    GTEST_SKIP() << "no directory symbolic links here; tests/e2e/planted_links.sh plants one";
  EXPECT_EQ(OpenContained(root, root + L"\\evil\\victim.txt", DELETE).Status,
            ContainedStatus::Redirected);
  EXPECT_FALSE(IsContainedPath(root, root + L"\\evil\\new"));
  EXPECT_FALSE(HeldFolder::Hold(root, root + L"\\evil").Held());
  const HeldFolder held = HeldFolder::Hold(root, root);
  bool exists = false;
  EXPECT_FALSE(held.MayWrite(root + L"\\evil", &exists));
  EXPECT_TRUE(FileExists(victim + L"\\victim.txt"));
}

TEST(ContainedFilesTest, AHeldFolderStaysWhereItIsAndVouchesOnlyForItsOwnNames) {
  TempDir dir;
  const std::wstring root = dir / L"Program";
  const std::wstring sub = root + L"\\sub";
  ForceFolder(sub + L"\\deeper");
  WriteTextFile(sub + L"\\old.txt", "x");
  {
    const HeldFolder held = HeldFolder::Hold(root, sub);
    ASSERT_TRUE(held.Held());
    EXPECT_FALSE(MoveFileW(sub.c_str(), (root + L"\\moved").c_str()));
    EXPECT_FALSE(RemoveDirectoryW((sub + L"\\deeper").c_str()) && RemoveDirectoryW(sub.c_str()));
    EXPECT_TRUE(FileExists(sub + L"\\old.txt"));

    bool exists = true;
    EXPECT_TRUE(held.MayWrite(sub + L"\\new.txt", &exists));
    EXPECT_FALSE(exists);
    EXPECT_TRUE(held.MayWrite(sub + L"\\OLD.TXT", &exists));
    EXPECT_TRUE(exists);
    EXPECT_FALSE(held.MayWrite(sub + L"\\deeper\\new.txt", &exists));
    EXPECT_FALSE(held.MayWrite(root + L"\\new.txt", &exists));
    EXPECT_FALSE(held.MayWrite(sub + L"\\..\\new.txt", &exists));
  }
  EXPECT_TRUE(MoveFileW(sub.c_str(), (root + L"\\moved").c_str()));  // released with the object

  EXPECT_TRUE(HeldFolder::Hold(root, root).Held());
  EXPECT_TRUE(HeldFolder::Hold(root, root + L"\\moved\\").Held());
  EXPECT_FALSE(HeldFolder::Hold(root, root + L"\\gone").Held());
  EXPECT_FALSE(HeldFolder::Hold(root, root + L"\\moved\\old.txt").Held());
  EXPECT_FALSE(HeldFolder::Hold(root, dir.Path()).Held());
  bool exists = false;
  EXPECT_FALSE(HeldFolder().MayWrite(root + L"\\a.txt", &exists));
}
