#include <gtest/gtest.h>

#include <string>

#include "SampleBytes.h"
#include "TestUtil.h"
#include "designer/MovedMembers.h"

namespace {
// A payload of the members given, and their sizes.
struct Payload {
  TempDir dir;
  std::vector<uint64_t> parts;
  std::wstring path = dir / L"data.dat";
  uint64_t size = 0;

  explicit Payload(const std::vector<std::string>& members) {
    std::string bytes;
    for (const std::string& member : members) {
      bytes += member;
      parts.push_back(member.size());
    }
    size = bytes.size();
    WriteTextFile(path, bytes);
  }
  std::vector<onefile::FilterRange> Find(std::vector<onefile::FilterRange> images = {},
                                         size_t most = 100) const {
    return FindMovedMembers(path, size, parts, images, most);
  }
};

using Runs = std::vector<onefile::FilterRange>;
}  // namespace

namespace onefile {
bool operator==(const FilterRange& a, const FilterRange& b) {
  return a.Offset == b.Offset && a.Size == b.Size;
}
}  // namespace onefile

// Random members that meet are one run; text stays.
TEST(MovedMembers, RandomMembersMoveAndNeighboursMerge) {
  const Payload payload({Text(5000), Noise(40000, 1), Noise(30000, 2), Text(700), Noise(9000, 3)});
  EXPECT_TRUE(payload.Find() == (Runs{{5000, 70000}, {75700, 9000}}));
  // At most `most` runs: the later members stay.
  EXPECT_TRUE(payload.Find({}, 1) == (Runs{{5000, 70000}}));
  // A member holding a program image stays with the filter.
  EXPECT_TRUE(payload.Find({{76000, 100}}) == (Runs{{5000, 70000}}));
}

TEST(MovedMembers, NothingMovesWithoutTrueSizesOrEnoughBytes) {
  Payload payload({Text(5000), Noise(70000, 1), Text(300)});
  EXPECT_TRUE(payload.Find() == (Runs{{5000, 70000}}));
  payload.parts.back() += 1;  // sizes that do not add up to the file's
  EXPECT_TRUE(payload.Find().empty());
  payload.parts.clear();
  EXPECT_TRUE(payload.Find().empty());
  // Random members of under 64 KB in all are not worth a table.
  EXPECT_TRUE(Payload({Text(5000), Noise(60000, 1), Text(300)}).Find().empty());
  // A random member that comes twice stays where LZMA finds the copy.
  const std::string twice = Noise(40000, 4);
  EXPECT_TRUE(Payload({twice, Text(100), twice, Noise(70000, 5)}).Find() == (Runs{{80100, 70000}}));
}
