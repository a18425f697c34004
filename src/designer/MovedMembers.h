#pragma once
// The members of a payload file (data.dat: the program's files end to end)
// that LZMA would not shrink, found to travel at the single file's end. Among
// text, a small random file costs LZMA about 1% more than its size and breaks
// the contexts of the text around it; moved together to the end they are one
// stored stretch, and the text closes up. The stream's table of moved runs
// records each one in about four bytes, so members under kLeastMovedMember stay.
// A member is random-like when its bytes are spread as evenly as random ones;
// one whose bytes occur again as another member stays in place, where LZMA
// finds the copy. Members that hold program images stay with the filter.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/BranchFilter.h"

inline constexpr uint64_t kLeastMovedMember = 256;
// Less than this in all is not worth a table.
inline constexpr uint64_t kLeastMovedTotal = 64u << 10;

// The runs to move, file offsets in order, members that meet merged, at most
// `most` runs. `parts`: the members' sizes in order; when they do not add up
// to the file's `size` nothing is moved.
std::vector<onefile::FilterRange> FindMovedMembers(const std::wstring& path, uint64_t size,
                                                   const std::vector<uint64_t>& parts,
                                                   const std::vector<onefile::FilterRange>& images,
                                                   size_t most);
