// branch_filter <encode|decode> <in> <out> <offset> <size> [<offset> <size>]...
//   Runs the branch filter that single files up to version 5 carry over the
//   given ranges of <in> (each starting afresh) and writes the result to
//   <out>, for checking the filter against xz's x86 filter.
//   Exit status: 0 done, 1 failed, 2 usage.
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

#include "formats/BranchFilter.h"

int wmain(int argc, wchar_t** argv) {
  const bool encode = argc > 1 && std::wcscmp(argv[1], L"encode") == 0;
  if (argc < 6 || argc % 2 != 0 || (!encode && std::wcscmp(argv[1], L"decode") != 0)) {
    std::fputs("usage: branch_filter <encode|decode> <in> <out> <offset> <size>...\n", stderr);
    return 2;
  }
  std::vector<onefile::FilterRange> ranges;
  for (int i = 4; i + 1 < argc; i += 2)
    ranges.push_back(
        {std::wcstoull(argv[i], nullptr, 10), std::wcstoull(argv[i + 1], nullptr, 10)});
  std::vector<uint8_t> bytes;
  if (FILE* in = _wfopen(argv[2], L"rb")) {
    uint8_t buffer[1 << 16];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
      bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(in);
  } else {
    std::fputs("branch_filter: cannot read the input\n", stderr);
    return 1;
  }
  for (const onefile::FilterRange& range : ranges)
    if (range.Offset > bytes.size() || range.Size > bytes.size() - range.Offset) {
      std::fputs("branch_filter: a range lies outside the input\n", stderr);
      return 1;
    }
  onefile::RangeFilter filter(ranges.data(), static_cast<uint32_t>(ranges.size()), encode);
  filter.Run(bytes.data(), bytes.size(), 0);
  FILE* out = _wfopen(argv[3], L"wb");
  if (!out)
    return 1;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written ? 0 : 1;
}
