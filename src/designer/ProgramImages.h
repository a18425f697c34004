#pragma once
// Where program images (PE files: .exe, .dll, .sys and any other file with a
// PE header) lie inside a package file, so that the packer runs the branch
// filter over them and over nothing else: the filter would only disturb text
// or media, whose bytes E8 and E9 are common ("и" and "й" in Windows-1251).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/BranchFilter.h"

// The bytes ProgramImageSize looks at from an image's start: the DOS header,
// the PE header and the section table of any usual image fit.
inline constexpr uint32_t kImageProbeSize = 4096;

// An x86 or x64 PE image as its headers describe it.
struct ImageLayout {
  // Up to the end of its last section's raw data and at most the bytes
  // available; 0 when the bytes start no such image.
  uint64_t Size = 0;
  // The raw data of its code sections in image offsets, sorted, not
  // overlapping, inside Size. Only they are filtered: the other sections hold
  // data, resources and tables, where E8 and E9 are no calls.
  std::vector<onefile::FilterRange> Code;
};

// The image whose headers begin `head` (`size` bytes are there, of which
// `available` lie in the same file).
ImageLayout ReadImageLayout(const uint8_t* head, size_t size, uint64_t available);

struct FoundImages {
  std::vector<onefile::FilterRange> Images;  // whole images, file offsets
  std::vector<onefile::FilterRange> Code;    // their code sections, file offsets
  bool IsProgram() const { return !Images.empty() && Images.front().Offset == 0; }
};

// The program images in the file at `path` of `fileSize` bytes, read once
// through a fixed buffer. An image found inside another (a program carried as
// a resource) is part of the outer one.
FoundImages FindProgramImages(const std::wstring& path, uint64_t fileSize);
