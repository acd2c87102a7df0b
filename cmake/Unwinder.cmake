# libunwind, by which the fatal-error report finds its callers: the imported
# target `unwinder`. Debian's libunwind-dev for the target: the machine's own
# when it is installed, else unpacked into the build (its package conflicts
# with clang's libunwind-14-dev, which libc++ needs). The static library,
# which is not position-independent, goes into every program, so the build's
# programs are not position-independent either; its reader of compressed
# symbol tables needs liblzma's.
include(${CMAKE_CURRENT_LIST_DIR}/DebianPackages.cmake)

find_path(UNWIND_INCLUDE_DIR libunwind.h)
if(UNWIND_INCLUDE_DIR)
  find_library(UNWIND_LIBRARY libunwind.a)
  find_library(LZMA_LIBRARY liblzma.a)
endif()
if(NOT UNWIND_INCLUDE_DIR OR NOT UNWIND_LIBRARY OR NOT LZMA_LIBRARY)
  debian_packages(root libunwind-dev liblzma-dev)
  file(GLOB UNWIND_INCLUDE_DIR ${root}/usr/include/*/libunwind.h)
  cmake_path(GET UNWIND_INCLUDE_DIR PARENT_PATH UNWIND_INCLUDE_DIR)
  file(GLOB UNWIND_LIBRARY ${root}/usr/lib/*/libunwind.a)
  file(GLOB LZMA_LIBRARY ${root}/usr/lib/*/liblzma.a)
  if(NOT UNWIND_INCLUDE_DIR OR NOT UNWIND_LIBRARY OR NOT LZMA_LIBRARY)
    message(FATAL_ERROR "libunwind-dev:${DEBIAN_ARCHITECTURE} has no libunwind.h or libunwind.a")
  endif()
endif()
message(STATUS "libunwind: ${UNWIND_LIBRARY}")

# The library without its stand-in for the compiler's exception unwinder (the
# _Unwind_ routines): ahead of the compiler's own on the link line, it would
# take the program's exceptions over, and clash with it in a static link.
set(local_unwinder ${CMAKE_BINARY_DIR}/libunwind-local.a)
execute_process(COMMAND ${CMAKE_NM} -A --defined-only ${UNWIND_LIBRARY}
                OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[^:\n]+\\.o: ?[0-9a-f]* [TW] _Unwind_" definitions "${symbols}")
list(TRANSFORM definitions REPLACE ":.*" "")
list(REMOVE_DUPLICATES definitions)
file(COPY_FILE ${UNWIND_LIBRARY} ${local_unwinder})
if(definitions)
  execute_process(COMMAND ${CMAKE_AR} d ${local_unwinder} ${definitions} COMMAND_ERROR_IS_FATAL ANY)
endif()

add_library(unwinder INTERFACE IMPORTED)
# This process's own stack only, the fastest of its unwinders.
target_compile_definitions(unwinder INTERFACE UNW_LOCAL_ONLY)
# After the system's folders: the folder holds an unwind.h of its own, which
# must not hide the compiler's.
target_compile_options(unwinder INTERFACE "SHELL:-idirafter ${UNWIND_INCLUDE_DIR}")
target_link_libraries(unwinder INTERFACE ${local_unwinder} ${LZMA_LIBRARY})
