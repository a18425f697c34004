#include <gtest/gtest.h>

#include "TestUtil.h"
#include "formats/CrcText.h"
#include "formats/Payload.h"
#include "support/Error.h"

namespace {
std::vector<uint32_t> BlocksOf(int64_t size, uint32_t blockSize) {
  TempDir dir;
  WritePatternFile(dir / L"src", size, 3);
  BinaryFile out = BinaryFile::Create(dir / L"dst");
  CopyBuffer buffer;
  std::vector<uint32_t> blocks;
  AppendFile(out, dir / L"src", buffer, blockSize,
             [&](const char*, uint32_t n) { blocks.push_back(n); });
  out.Close();
  EXPECT_EQ(ReadFileBytes(dir / L"dst"), ReadFileBytes(dir / L"src"));
  return blocks;
}
}  // namespace

TEST(CopyChunked, BlockBoundaries) {
  EXPECT_EQ(BlocksOf(0, kPayloadBlock), (std::vector<uint32_t>{0}));
  EXPECT_EQ(BlocksOf(1000000, kPayloadBlock), (std::vector<uint32_t>{1000000}));
  EXPECT_EQ(BlocksOf(1000001, kPayloadBlock), (std::vector<uint32_t>{1000000, 1}));
  EXPECT_EQ(BlocksOf(3000000, kPayloadBlock), (std::vector<uint32_t>{1000000, 1000000, 1000000}));
  EXPECT_EQ(BlocksOf(400000, kLauncherBlock), (std::vector<uint32_t>{200000, 200000}));
}

TEST(Payload, ConcatenatesAndSplitsBackInOrder) {
  TempDir dir;
  const int64_t sizes[] = {0, 1000000, 1000001, 17};
  CopyBuffer buffer;
  {
    BinaryFile payload = BinaryFile::Create(dir / L"data.dat");
    for (int i = 0; i < 4; ++i) {
      WritePatternFile(dir / (L"in" + std::to_wstring(i)), sizes[i], i + 10);
      EXPECT_EQ(AppendFile(payload, dir / (L"in" + std::to_wstring(i)), buffer, kPayloadBlock),
                sizes[i]);
    }
  }
  EXPECT_EQ(GetFileSize64(dir / L"data.dat"), 2000018);
  BinaryFile payload = BinaryFile::OpenRead(dir / L"data.dat");
  for (int i = 0; i < 4; ++i) {
    BinaryFile out = BinaryFile::Create(dir / (L"out" + std::to_wstring(i)));
    CopyChunked(payload, out, sizes[i], buffer, kPayloadBlock);
    out.Close();
    EXPECT_EQ(ReadFileBytes(dir / (L"out" + std::to_wstring(i))),
              ReadFileBytes(dir / (L"in" + std::to_wstring(i))));
  }
}

TEST(Payload, ShortSourceRaisesNamingTheTarget) {
  TempDir dir;
  WriteTextFile(dir / L"data.dat", "12345");
  CopyBuffer buffer;
  BinaryFile payload = BinaryFile::OpenRead(dir / L"data.dat");
  BinaryFile out = BinaryFile::Create(dir / L"target.bin");
  try {
    CopyChunked(payload, out, 10, buffer, kPayloadBlock);
    FAIL() << "a short payload must not pass";
  } catch (const KovrinError& e) {
    EXPECT_NE(e.Message().find(dir / L"target.bin"), std::wstring::npos);
  }
}

TEST(Texts, SplitBothTextsAndLicenseOnly) {
  TempDir dir;
  CopyBuffer buffer;
  WriteTextFile(dir / L"Setup.dat", "READMELICENSE!");
  const TextsSplit split =
      *SplitTexts(dir / L"Setup.dat", 6, 8, dir / L"readme.dat", dir / L"license.dat", buffer);
  EXPECT_EQ(CrcText(split.Crc), CrcKeyText("READMELICENSE!"));  // taken in the same pass
  EXPECT_EQ(split.FileSize, 14);
  EXPECT_EQ(ReadFileBytes(dir / L"readme.dat"), "README");
  EXPECT_EQ(ReadFileBytes(dir / L"license.dat"), "LICENSE!");

  WriteTextFile(dir / L"Setup.dat", "LICENSE!");
  ASSERT_TRUE(
      SplitTexts(dir / L"Setup.dat", 0, 8, dir / L"readme.dat", dir / L"license.dat", buffer));
  EXPECT_EQ(ReadFileBytes(dir / L"readme.dat"), "");
  EXPECT_EQ(ReadFileBytes(dir / L"license.dat"), "LICENSE!");
  // Sizes beyond the file: refused instead of garbage, naming the text cut short.
  const Expected<TextsSplit> beyond =
      SplitTexts(dir / L"Setup.dat", 6, 8, dir / L"r2", dir / L"l2", buffer);
  ASSERT_FALSE(beyond);
  EXPECT_NE(beyond.Error().Message().find(dir / L"l2"), std::wstring::npos);
  // A missing Setup.dat fails before either text is made.
  const Expected<TextsSplit> missing =
      SplitTexts(dir / L"none.dat", 1, 1, dir / L"r3", dir / L"l3", buffer);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.Error().Message().rfind(L"Cannot open file", 0), 0u);
  EXPECT_EQ(GetFileAttributesW((dir / L"r3").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A failure the block callback returns (the install's stop) ends the copy after
// that block and is what the copy returns.
TEST(Payload, AFailureOfTheBlockCallbackEndsTheCopy) {
  TempDir dir;
  WriteTextFile(dir / L"data.dat", "aaaabbbbccccdd");
  CopyBuffer buffer;
  BinaryFile payload = BinaryFile::OpenRead(dir / L"data.dat");
  BinaryFile out = BinaryFile::Create(dir / L"target.bin");
  int blocks = 0;
  const Status copied =
      TryCopyChunked(payload, out, 14, buffer, 4, [&](const char*, uint32_t) -> Status {
        if (++blocks == 2)
          return Failure(L"stopped", FailureKind::Stopped);
        return {};
      });
  out.Close();
  ASSERT_FALSE(copied);
  EXPECT_TRUE(copied.Error().Is(FailureKind::Stopped));
  EXPECT_EQ(blocks, 2);
  EXPECT_EQ(ReadFileBytes(dir / L"target.bin"), "aaaabbbb");
}
