// pack_single [--block-size <bytes>] <sfx.dat> <output> <launcher name> <file>...
//   Packs the files (each under its own file name) behind the self-extractor
//   into <output> with PackSingleFile; prints the sizes and the time taken.
//   A smaller block size makes small fixtures of several blocks.
//   Exit status: 0 done, 1 failed, 2 usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "designer/SingleFilePacker.h"
#include "support/Error.h"
#include "support/FileNames.h"

int wmain(int argc, wchar_t** argv) {
  SingleFileJob job;
  int first = 1;
  if (argc > 2 && std::wcscmp(argv[1], L"--block-size") == 0) {
    job.Settings.BlockSize = static_cast<uint32_t>(std::wcstoul(argv[2], nullptr, 10));
    first = 3;
  }
  if (argc - first < 4) {
    std::fputs(
        "usage: pack_single [--block-size <bytes>] <sfx.dat> <output> <launcher name> <file>...\n",
        stderr);
    return 2;
  }
  job.StubPath = argv[first];
  job.OutputPath = argv[first + 1];
  job.LauncherName = argv[first + 2];
  for (int i = first + 3; i < argc; ++i)
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
