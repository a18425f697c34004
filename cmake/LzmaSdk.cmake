# The LZMA coder from the LZMA SDK C sources that Debian's lzma-dev ships (public
# domain), compiled here once, never copied into the tree:
#   lzma_enc  LzmaEnc + LzFind, for the designer's single-file packer; LzmaEnc.c is
#             compiled inside src/designer/LzmaEncPrimed.c, which adds one entry point;
#   lzma_dec  LzmaDec alone, for the self-extractor stub.
# _7ZIP_ST: the package ships no LzFindMt/Threads sources, and the kit runs its
# long work on one thread anyway. Both are built -O2 whatever the program around
# them asks for: they are the hot loops of packing and unpacking.
set(KOVRIN_LZMA_SDK_DIR /usr/include/lzma CACHE PATH "LZMA SDK C sources (Debian package lzma-dev)")
foreach(source LzmaEnc.c LzFind.c LzmaDec.c)
  if(NOT EXISTS ${KOVRIN_LZMA_SDK_DIR}/${source})
    message(FATAL_ERROR "${KOVRIN_LZMA_SDK_DIR}/${source} is missing: install lzma-dev (tools/install-deps.sh).")
  endif()
endforeach()

function(kovrin_lzma_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} SYSTEM PUBLIC ${KOVRIN_LZMA_SDK_DIR})
  target_compile_definitions(${name} PUBLIC _7ZIP_ST)
  # Outside code: its own warnings are not ours to fix.
  target_compile_options(${name} PRIVATE -O2 -w -ffunction-sections -fdata-sections)
  # Kept out of link-time optimisation, which would compile it again at the
  # programs' -Os; nothing throws through it, so it needs no unwind tables.
  set_target_properties(${name} PROPERTIES INTERPROCEDURAL_OPTIMIZATION OFF)
  target_compile_options(${name} PRIVATE -fno-asynchronous-unwind-tables)
endfunction()

kovrin_lzma_library(lzma_enc ${PROJECT_SOURCE_DIR}/src/designer/LzmaEncPrimed.c
                    ${KOVRIN_LZMA_SDK_DIR}/LzFind.c)
kovrin_lzma_library(lzma_dec ${KOVRIN_LZMA_SDK_DIR}/LzmaDec.c)
