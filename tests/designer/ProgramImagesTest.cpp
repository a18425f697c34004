#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include "TestUtil.h"
#include "designer/ProgramImages.h"

namespace {
std::string Image(uint32_t size, unsigned seed) {
  TempDir dir;
  WriteProgramImage(dir / L"image.exe", size, seed);
  return ReadFileBytes(dir / L"image.exe");
}

ImageLayout LayoutOf(const std::string& bytes, uint64_t available) {
  return ReadImageLayout(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), available);
}
uint64_t SizeOf(const std::string& bytes, uint64_t available) {
  return LayoutOf(bytes, available).Size;
}

// Sets the section table of the image made by WriteProgramImage to `sections`
// of {raw offset, raw size, characteristics}.
void SetSections(std::string& image, const std::vector<std::array<uint32_t, 3>>& sections) {
  constexpr uint32_t kTable = 0x80 + 24 + 0xE0;
  image[0x86] = static_cast<char>(sections.size());
  for (size_t i = 0; i < sections.size(); ++i) {
    const uint32_t at = kTable + static_cast<uint32_t>(i) * 40;
    const uint32_t values[3] = {sections[i][1], sections[i][0], sections[i][2]};
    const uint32_t places[3] = {16, 20, 36};
    for (int v = 0; v < 3; ++v)
      for (int b = 0; b < 4; ++b)
        image[at + places[v] + b] = static_cast<char>(values[v] >> (8 * b));
  }
}

std::vector<std::pair<uint64_t, uint64_t>> Pairs(const std::vector<onefile::FilterRange>& ranges) {
  std::vector<std::pair<uint64_t, uint64_t>> pairs;
  for (const onefile::FilterRange& range : ranges) pairs.emplace_back(range.Offset, range.Size);
  return pairs;
}
}  // namespace

TEST(ProgramImages, HeadersGiveTheImageLengthAndAnythingElseNone) {
  const std::string image = Image(20000, 1);
  EXPECT_EQ(SizeOf(image, image.size()), 20000u);
  EXPECT_EQ(SizeOf(image, 15000), 15000u);  // a file cut short ends the image
  std::string arm = image;
  arm[0x84] = static_cast<char>(0xC4);  // machine 0x1C4: no x86 code to filter
  arm[0x85] = 0x01;
  EXPECT_EQ(SizeOf(arm, arm.size()), 0u);
  std::string distant = image;
  distant[0x3C] = static_cast<char>(0xF0);  // the PE header beyond what is there
  distant[0x3D] = static_cast<char>(0xFF);
  EXPECT_EQ(SizeOf(distant, distant.size()), 0u);
  std::string noSections = image;
  noSections[0x86] = 0;
  EXPECT_EQ(SizeOf(noSections, noSections.size()), 0u);
  EXPECT_EQ(SizeOf(std::string("MZ") + std::string(100, '\0'), 102), 0u);
}

using Ranges = std::vector<std::pair<uint64_t, uint64_t>>;

TEST(ProgramImages, OnlyCodeSectionsAreFilteredInOrderWithoutOverlapsAndInsideTheImage) {
  std::string image = Image(20000, 1);
  constexpr uint32_t kCode = 0x20, kRuns = 0x20000000, kData = 0x40000040;
  SetSections(image, {{12000, 3000, kData},  // data between the code
                      {9000, 3000, kRuns},   // listed out of order
                      {1024, 8000, kCode},
                      {8000, 2000, kCode},  // overlaps the one before it
                      {15000, 4000, kData},
                      {19000, 3000, kCode}});  // runs past the file's end
  const ImageLayout whole = LayoutOf(image, image.size());
  EXPECT_EQ(whole.Size, 20000u);
  EXPECT_EQ(Pairs(whole.Code), (Ranges{{1024, 8000}, {9024, 976}, {10000, 2000}, {19000, 1000}}));
  // A file cut short keeps the code that is there, and none too short to hold a call.
  EXPECT_EQ(Pairs(LayoutOf(image, 19003).Code), (Ranges{{1024, 8000}, {9024, 976}, {10000, 2000}}));
  SetSections(image, {{1024, 18976, kData}});
  EXPECT_TRUE(LayoutOf(image, image.size()).Code.empty());
  EXPECT_EQ(LayoutOf(image, image.size()).Size, 20000u);  // still an image, not filtered
}

TEST(ProgramImages, FindsImagesInsideAFileAcrossTheScanBlocks) {
  TempDir dir;
  std::string file(5000, 'M');  // many a false start
  file += Image(300000, 2);
  file.resize((1u << 20) - 100, 'x');  // the next image's headers cross the first block's end
  file += Image(200000, 3);
  const std::string inner = Image(10000, 4);
  file.replace((1u << 20) + 50000, inner.size(), inner);  // part of the one around it
  file += std::string(7000, 'z');
  WriteTextFile(dir / L"data.dat", file);
  const FoundImages found = FindProgramImages(dir / L"data.dat", file.size());
  const uint64_t second = (1u << 20) - 100;
  EXPECT_EQ(Pairs(found.Images), (Ranges{{5000, 300000}, {second, 200000}}));
  EXPECT_EQ(Pairs(found.Code),
            (Ranges{{5000 + 0x400, 300000 - 0x400}, {second + 0x400, 200000 - 0x400}}));
  EXPECT_FALSE(found.IsProgram());
  WriteTextFile(dir / L"program.exe", Image(30000, 5));
  EXPECT_TRUE(FindProgramImages(dir / L"program.exe", 30000).IsProgram());
}
