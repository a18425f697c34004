#include <gtest/gtest.h>

#include "TestUtil.h"
#include "sfx/TempFolder.h"

namespace {
// The temporary folder that the extractor sees, redirected for one test.
class RedirectedTemp {
 public:
  explicit RedirectedTemp(const std::wstring& folder)
      : tmp_(L"TMP", folder), temp_(L"TEMP", folder) {}

 private:
  ScopedEnv tmp_;
  ScopedEnv temp_;
};
}  // namespace

TEST(SelfExtractorTempFolder, EveryCallMakesANewFolderUnderTemp) {
  TempDir dir;
  RedirectedTemp redirect(dir.Path() + L"\\");
  PathText first;
  PathText second;
  ASSERT_EQ(CreateUniqueTempFolder(first), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(CreateUniqueTempFolder(second), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_NE(std::wstring(first.Get()), std::wstring(second.Get()));
  EXPECT_EQ(std::wstring(first.Get()).rfind(dir.Path() + L"\\KovrinSetup-", 0), 0u)
      << Narrow(first.Get());
  EXPECT_TRUE(FolderExists(first.Get()));
  EXPECT_TRUE(FolderExists(second.Get()));
}

TEST(SelfExtractorTempFolder, MissingTempFolderIsReportedNotCreated) {
  TempDir dir;
  RedirectedTemp redirect(dir / L"missing\\");
  PathText folder;
  EXPECT_EQ(CreateUniqueTempFolder(folder), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(FolderExists(dir / L"missing"));
}

TEST(SelfExtractorTempFolder, RemovesTheTreeWithReadOnlyFilesButNotWhatLinksPointTo) {
  TempDir dir;
  const std::wstring root = dir / L"unpacked";
  CreateDirectoryW(root.c_str(), nullptr);
  CreateDirectoryW((root + L"\\sub").c_str(), nullptr);
  CreateDirectoryW((root + L"\\sub\\deeper").c_str(), nullptr);
  WriteTextFile(root + L"\\Setup.exe", "x");
  WriteTextFile(root + L"\\sub\\deeper\\locked.txt", "y");
  SetFileAttributesW((root + L"\\sub\\deeper\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  // A folder outside, reached through a directory link inside the tree.
  const std::wstring outside = dir / L"outside";
  CreateDirectoryW(outside.c_str(), nullptr);
  WriteTextFile(outside + L"\\keep.txt", "keep");
  const bool linked = CreateSymbolicLinkW((root + L"\\link").c_str(), outside.c_str(),
                                          SYMBOLIC_LINK_FLAG_DIRECTORY) != 0;

  EXPECT_TRUE(RemoveFolderTree(root.c_str()));
  EXPECT_FALSE(FolderExists(root));
  EXPECT_EQ(ReadFileBytes(outside + L"\\keep.txt"), "keep") << "link made: " << linked;
  EXPECT_TRUE(RemoveFolderTree(root.c_str()));  // already gone: nothing to do
}
