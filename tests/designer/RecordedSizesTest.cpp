#include <windows.h>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "designer/RecordedSizes.h"

// Sizes from a listed folder agree with the files, whatever the case of the
// name; folders and missing names read -1; what the listing did not see (a
// file made after it, a folder asked for once) is asked for on its own.
TEST(RecordedSizes, AgreeWithTheFilesWhetherListedOrAskedAlone) {
  TempDir dir;
  CreateDirectoryW((dir / L"sub").c_str(), nullptr);
  CreateDirectoryW((dir / L"once").c_str(), nullptr);
  WriteTextFile(dir / L"a.txt", "12345");
  WriteTextFile(dir / L"b.txt", "");
  WriteTextFile(dir / L"Mixed Case.dat", "123");
  WriteTextFile(dir / L"once\\only.txt", "1234567");

  RecordedSizes sizes;
  EXPECT_EQ(sizes.Of(dir / L"a.txt"), 5);  // asked alone: the folder's first question
  EXPECT_EQ(sizes.Of(dir / L"b.txt"), 0);  // from here on, from the listing
  EXPECT_EQ(sizes.Of(dir / L"MIXED case.DAT"), 3);
  EXPECT_EQ(sizes.Of(dir / L"sub"), -1);
  EXPECT_EQ(sizes.Of(dir / L"gone.txt"), -1);
  WriteTextFile(dir / L"later.txt", "12");
  EXPECT_EQ(sizes.Of(dir / L"later.txt"), 2);
  EXPECT_EQ(sizes.Of(dir / L"sub\\gone.txt"), -1);
  EXPECT_EQ(sizes.Of(dir / L"once\\only.txt"), 7);
  EXPECT_EQ(sizes.Of(dir.Path() + L"/a.txt"), 5);
}
