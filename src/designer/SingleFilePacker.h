#pragma once
// The built-in packer: one program made of the self-extractor image (sfx.dat)
// followed by the package files in LZMA blocks (formats/SingleFileFormat.h).
// The extractor unpacks them into a new temporary folder and starts the launcher.
// Program images go first, so that the launcher and the uninstaller, built
// from one code base, stand together, and each runs through the branch filter.

#include <cstdint>
#include <string>
#include <vector>

#include "LzmaEnc.h"
#include "support/Progress.h"

inline constexpr wchar_t kSelfExtractorImage[] = L"sfx.dat";

// LZMA settings of the stream. The defaults were measured against the
// reference compressor (benchmarks/onefile); see docs/single-file-format.md.
struct LzmaSettings {
  int Level = 9;
  // The dictionary is as large as the input (rounded up as the encoder does),
  // at most this: the self-extractor needs that much memory to unpack, and the
  // 32-bit designer's encoder about 11.5 times as much. Larger ones gained
  // under 0.2% on the benchmark's corpora and slowed the match finder down.
  uint32_t MaxDictionarySize = 8u << 20;
  int LiteralContextBits = 3;   // lc
  int LiteralPositionBits = 0;  // lp
  int PositionBits = 2;         // pb
  // fb and mc: 48 fast bytes and 24 match cycles pack 0.4-0.6% smaller than
  // 32 and 20; 32 cycles gain another 0.1-0.2% but cost up to a sixth more
  // time, level 9's own 64 and 48 more again.
  int FastBytes = 48;
  uint32_t MatchCycles = 24;
  bool BinaryTree = true;  // bt4 match finder; hash chains (hc4) pack 3% larger
  // Unpacked bytes of each block at most. Blocks are compressed at once on
  // Threads threads, each going on from half a dictionary's worth of bytes
  // before it, which its encoder takes in again first: the share of time that
  // costs falls with larger blocks. The packer cuts the stream into an even
  // number of blocks once it is 4 MB or more, the last one smaller by what that
  // pass costs, so that two threads share the work evenly; the cut does not
  // depend on the thread count, nor does the output.
  uint32_t BlockSize = 32u << 20;
  int Threads = 2;           // blocks compressed at once
  bool BranchFilter = true;  // the x86 filter over program images
  // Incompressible stretches of 4 MB and more stored as they are
  // (designer/IncompressibleStretches.h), and incompressible members of files
  // with Parts moved to the stream's end and stored there.
  bool StoreIncompressible = true;
  // Bytes of stored stretches read ahead into memory while the blocks before
  // them compress, so that the threads need not wait for each other there.
  uint32_t StoredReadAhead = 32u << 20;
};

// The encoder's properties for a stream of `total` unpacked bytes. Every block
// is compressed with them, written once in the header; the dictionary spans
// the blocks.
CLzmaEncProps EncoderProperties(const LzmaSettings& settings, uint64_t total);

struct PackedFile {
  std::wstring SourcePath;  // where the bytes are read
  std::wstring Name;        // the plain file name inside the package
  // The sizes of the files that this one holds end to end (data.dat's), when
  // known: its incompressible members then travel at the stream's end
  // (designer/MovedMembers.h).
  std::vector<uint64_t> Parts;
};

struct SingleFileJob {
  std::wstring StubPath;          // the self-extractor image
  std::vector<PackedFile> Files;  // program images are packed first, the rest in this order
  std::wstring LauncherName;      // one of Files' names: the program the extractor starts
  std::wstring OutputPath;        // the single program to write
  LzmaSettings Settings;
};

struct SingleFileResult {
  uint64_t UnpackedSize = 0;  // bytes of all package files
  uint64_t StreamSize = 0;    // bytes of the LZMA stream
  uint64_t OutputSize = 0;    // bytes of the written program
};

// Writes the program first under a temporary name beside OutputPath and puts
// it in place only when it is complete, so a failure or a cancel leaves any
// earlier program at OutputPath whole and no temporary file behind.
// Reports the share of input bytes compressed (0..100) through `progress`,
// lets messages run on a clock and stops as soon as progress.Cancelled() is
// true, raising OperationCancelled (kBuildCancelledText). Failures raise KovrinError.
SingleFileResult PackSingleFile(const SingleFileJob& job, ProgressSink& progress);
