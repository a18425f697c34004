#include <gtest/gtest.h>

#include "TestUtil.h"
#include "designer/ProgramImages.h"

namespace {
std::string Image(uint32_t size, unsigned seed) {
  TempDir dir;
  WriteProgramImage(dir / L"image.exe", size, seed);
  return ReadFileBytes(dir / L"image.exe");
}

uint64_t SizeOf(const std::string& bytes, uint64_t available) {
  return ProgramImageSize(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), available);
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
  const std::vector<onefile::FilterRange> found = FindProgramImages(dir / L"data.dat", file.size());
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].Offset, 5000u);
  EXPECT_EQ(found[0].Size, 300000u);
  EXPECT_EQ(found[1].Offset, (1u << 20) - 100);
  EXPECT_EQ(found[1].Size, 200000u);
}
