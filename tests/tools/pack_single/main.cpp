// pack_single <sfx.dat> <output> <launcher name> <file>...
//   Packs the files (each under its own file name) behind the self-extractor
//   into <output> with PackSingleFile; prints the sizes and the time taken.
//   Exit status: 0 done, 1 failed, 2 usage.
#include <windows.h>

#include <cstdio>

#include "designer/SingleFilePacker.h"
#include "support/Error.h"
#include "support/FileNames.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::fputs("usage: pack_single <sfx.dat> <output> <launcher name> <file>...\n", stderr);
    return 2;
  }
  SingleFileJob job;
  job.StubPath = argv[1];
  job.OutputPath = argv[2];
  job.LauncherName = argv[3];
  for (int i = 4; i < argc; ++i)
    job.Files.push_back({argv[i], std::wstring(FileNamePart(argv[i]))});
  try {
    NullProgress progress;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const SingleFileResult result = PackSingleFile(job, progress);
    QueryPerformanceCounter(&end);
    std::printf("packed %llu bytes into a stream of %llu, program of %llu bytes in %.3f s\n",
                static_cast<unsigned long long>(result.UnpackedSize),
                static_cast<unsigned long long>(result.StreamSize),
                static_cast<unsigned long long>(result.OutputSize),
                static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    return 0;
  } catch (const KovrinError& error) {
    std::fprintf(stderr, "pack_single: %s\n", error.what());
    return 1;
  }
}
