# Helpers shared by the project's CMakeLists files.

# kovrin_add_test(<name> SOURCES <files...> LIBS <targets...>)
# A GoogleTest program run under Wine; each test case is one CTest entry.
function(kovrin_add_test name)
  cmake_parse_arguments(arg "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    EXTRA_ARGS --gtest_color=no
    PROPERTIES TIMEOUT ${arg_TIMEOUT} LABELS ${name})
endfunction()

# `dist` builds just the distribution folder: the programs that ship.
add_custom_target(dist)

# kovrin_ship(<target> <file name>): copies a built program into the
# distribution folder under the name it ships with.
# Where the shipped programs come from a build of their own (KOVRIN_SHIPPED_APART),
# this build's stay where they are built.
function(kovrin_ship target shipped_name)
  if(KOVRIN_SHIPPED_APART)
    return()
  endif()
  add_dependencies(dist ${target})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${KOVRIN_DIST_DIR}/${shipped_name})
endfunction()

# Release code is optimised for size and every function and datum gets a section
# of its own, so that the linker drops what no program calls (most of the static
# C++ runtime): the setup program travels inside every package, compressed into
# every single-file installer. The LZMA coder keeps -O2 (cmake/LzmaSdk.cmake).
set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
add_compile_options(-ffunction-sections -fdata-sections)

# The build of the shipped programs alone is optimised across units as well: the
# compiler then keeps one copy of each standard-library helper instead of one per
# unit, inlines what only one caller uses and drops the rest (about a fifth of the
# setup program). One partition, because GCC 12 for MinGW fails an assertion
# (binds_to_current_def_p) when an implicit constructor lands in another one.
# The test build stays without it: linking every test program so would take
# minutes, and the end-to-end tests run the shipped programs themselves.
# No code of the kit asks for a type at run time (no dynamic_cast, no typeid),
# so the shipped programs carry no run-time type information either; what the
# exceptions need of it the compiler still makes for the types thrown.
if(KOVRIN_PROGRAMS_ONLY AND CMAKE_BUILD_TYPE STREQUAL Release)
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
  include(CheckIPOSupported)
  check_ipo_supported(RESULT kovrin_lto_supported OUTPUT kovrin_lto_output LANGUAGES C CXX)
  if(kovrin_lto_supported)
    set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
    add_link_options(-flto-partition=one)
  else()
    message(WARNING "Link-time optimisation is not available: the shipped programs stay larger. ${kovrin_lto_output}")
  endif()
endif()

# kovrin_program(<target>): a program with a wWinMain or wmain entry point.
# Release programs are stripped and unreferenced sections dropped. Each one
# carries its own std::terminate handler (src/support/QuietTerminate.cpp) and
# the standard library's error helpers (src/support/LibraryThrows.cpp): they
# have to be among the program's own objects to stand in for the runtime's.
function(kovrin_program target)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src/support/QuietTerminate.cpp
                 ${PROJECT_SOURCE_DIR}/src/support/LibraryThrows.cpp)
  target_link_options(${target} PRIVATE -municode $<$<CONFIG:Release>:-s -Wl,--gc-sections>)
endfunction()

# kovrin_without_exceptions(<target> <library>...): the program is built without
# exceptions, and compiles the listed libraries' sources itself so that none of
# their code needs the unwinder, its tables and the landing pads (more than 40%
# of the uninstaller). Their code raises through Raise (support/Error.h), which
# there ends the program with its message (support/ProgramEnd.h). The libraries
# they link stay linked, those listed excepted; the tests keep linking the
# libraries themselves, built with exceptions.
function(kovrin_without_exceptions target)
  foreach(library ${ARGN})
    get_target_property(sources ${library} SOURCES)
    get_target_property(folder ${library} SOURCE_DIR)
    foreach(source ${sources})
      if(NOT IS_ABSOLUTE ${source})
        set(source ${folder}/${source})
      endif()
      target_sources(${target} PRIVATE ${source})
    endforeach()
    get_target_property(linked ${library} INTERFACE_LINK_LIBRARIES)
    foreach(dependency ${linked})
      if(NOT dependency IN_LIST ARGN)
        target_link_libraries(${target} PRIVATE ${dependency})
      endif()
    endforeach()
  endforeach()
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src/support/ProgramEnd.cpp)
  target_compile_definitions(${target} PRIVATE KOVRIN_PROGRAM_END=1)
  # Nothing unwinds through its code: it needs no unwind tables either.
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-asynchronous-unwind-tables)
endfunction()

# kovrin_system_wide_printf(<target>): the program's wide formatting (std::to_wstring,
# swprintf) goes to the system C runtime's _vsnwprintf instead of MinGW's own
# C99 formatter, which with its floating-point conversion weighs about 28 KB.
# For the programs that travel in every package; they format only integers and
# texts that fit their buffers, where the two agree.
function(kovrin_system_wide_printf target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -Wl,--defsym=___mingw_vsnwprintf=__vsnwprintf)
  else()
    target_link_options(${target} PRIVATE -Wl,--defsym=__mingw_vsnwprintf=_vsnwprintf)
  endif()
endfunction()

# Test and benchmark programs land in build/bin.
set(KOVRIN_BIN_DIR ${CMAKE_BINARY_DIR}/bin)

# kovrin_engine_and_windows(<name> LIBS <libraries...>)
# A program folder's engines (every .cpp beside its CMakeLists.txt but main.cpp)
# as <name>_engine over formats and LIBS, and its windows (ui/*.cpp) as <name>_ui
# over the engines and win.
function(kovrin_engine_and_windows name)
  cmake_parse_arguments(arg "" "" "LIBS" ${ARGN})
  file(GLOB engine_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(REMOVE_ITEM engine_sources ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
  add_library(${name}_engine STATIC ${engine_sources})
  target_link_libraries(${name}_engine PUBLIC formats ${arg_LIBS})
  file(GLOB ui_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp)
  add_library(${name}_ui STATIC ${ui_sources})
  target_link_libraries(${name}_ui PUBLIC ${name}_engine win)
endfunction()
