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

// The length of the x86 or x64 PE image whose headers begin `head` (`size`
// bytes are there, of which `available` lie in the same file), up to the end of
// its last section's raw data and at most `available`; 0 when `head` starts
// no such image.
uint64_t ProgramImageSize(const uint8_t* head, size_t size, uint64_t available);

// The program images in the file at `path` of `fileSize` bytes, in file
// offsets, read once through a fixed buffer. An image found inside another
// (a program carried as a resource) is part of the outer one.
std::vector<onefile::FilterRange> FindProgramImages(const std::wstring& path, uint64_t fileSize);
