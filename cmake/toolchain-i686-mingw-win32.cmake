# The shipped 32-bit programs: the same cross build with the win32 thread model compiler.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_tc i686-w64-mingw32)
# The win32 thread model: the runtime locks and thread-local data through the
# system itself, so no program carries the POSIX threads library (some 32 KB).
set(CMAKE_C_COMPILER   ${_tc}-gcc-win32)
set(CMAKE_CXX_COMPILER ${_tc}-g++-win32)
set(CMAKE_RC_COMPILER  ${_tc}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_tc})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static runtime: every program imports system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
