#include <gtest/gtest.h>

#include <vector>

#include "ProjectTestSupport.h"
#include "designer/FileList.h"
#include "designer/ProjectOpening.h"

// Sizes come from the disk, not the file; a missing file keeps its row with
// the size -1 and is named; a file too large for the package leaves the list.
TEST(ProjectOpening, SizesAreMeasuredMissingFilesNamedTooLargeOnesLeftOut) {
  TempDir dir;
  WriteTextFile(dir / L"a.txt", "12345");
  MakeSparseFile(dir / L"huge.bin", kPackageFileLimit);
  WriteTextFile(dir / L"c.txt", "");
  std::vector<FileEntry> files = {
      FileEntry{L"a.txt", dir.Path(), 999},     FileEntry{L"huge.bin", dir.Path(), 0},
      FileEntry{L"gone.txt", dir.Path(), 5},    FileEntry{L"c.txt", dir.Path() + L"\\", 3},
      FileEntry{L"x\\gone.txt", dir.Path(), 0},
  };

  const SizeRefresh sizes = RefreshFileSizes(files);

  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0].Size, 5);
  EXPECT_EQ(files[1].RelativeName, L"gone.txt");
  EXPECT_EQ(files[1].Size, -1);
  EXPECT_EQ(files[2].Size, 0);
  EXPECT_EQ(files[3].Size, -1);
  ASSERT_EQ(sizes.Missing.size(), 2u);
  EXPECT_EQ(sizes.Missing[0].Row, 1u);  // counted after the refused row left the list
  EXPECT_EQ(sizes.Missing[0].SourcePath, dir / L"gone.txt");
  EXPECT_EQ(sizes.Missing[1].Row, 3u);
  EXPECT_EQ(sizes.Missing[1].SourcePath, dir / L"x\\gone.txt");
  EXPECT_EQ(sizes.Refused, std::vector<std::wstring>{dir / L"huge.bin"});

  const std::wstring report = SizeRefreshReport(sizes, 1);
  EXPECT_NE(report.find(L"(2):\n" + dir / L"gone.txt" + L"\n… и ещё 1"), std::wstring::npos)
      << Narrow(report);
  EXPECT_NE(report.find(dir / L"huge.bin"), std::wstring::npos) << Narrow(report);
  EXPECT_EQ(SizeRefreshReport(SizeRefresh{}), L"");
}
