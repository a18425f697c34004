# The shipped 32-bit programs: the i686 cross build with the win32 thread model
# compiler. Its runtime locks and thread-local data go through the system itself,
# so no program carries the POSIX threads library (some 32 KB).
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-i686-mingw.cmake)
set(CMAKE_C_COMPILER   ${_tc}-gcc-win32)
set(CMAKE_CXX_COMPILER ${_tc}-g++-win32)
