# libbacktrace for the mingw build, from the GCC sources of Debian's
# gcc-12-source package (its PE reader finds the DWARF information of an
# .exe). Built once per build folder, before anything that links it; defines
# the imported target `backtrace`.
include(ExternalProject)

file(GLOB backtrace_tarballs /usr/src/gcc-12/gcc-12.*.tar.xz)
list(FILTER backtrace_tarballs INCLUDE REGEX "/gcc-12\\.[0-9.]+(-dfsg)?\\.tar\\.xz$")
if(NOT backtrace_tarballs)
  message(FATAL_ERROR "GCC's sources not found (package gcc-12-source)")
endif()
list(GET backtrace_tarballs 0 backtrace_tarball)
# The tarball holds one folder, named as the tarball without its suffixes.
get_filename_component(backtrace_top ${backtrace_tarball} NAME)
string(REGEX REPLACE "(-dfsg)?\\.tar\\.xz$" "" backtrace_top ${backtrace_top})

get_filename_component(backtrace_compiler ${CMAKE_C_COMPILER} NAME)
string(REGEX REPLACE "-gcc.*$" "" backtrace_host ${backtrace_compiler})
set(backtrace_root ${CMAKE_BINARY_DIR}/libbacktrace)
set(backtrace_build ${backtrace_root}/build)
set(backtrace_library ${backtrace_build}/.libs/libbacktrace.a)
set(backtrace_include ${backtrace_root}/include)

# Only libbacktrace's own folder, the headers it shares with GCC, and the
# helper scripts its configure script looks for one folder up are unpacked.
set(backtrace_members libbacktrace include config config.guess config.sub install-sh ltmain.sh
    missing compile depcomp mkinstalldirs config-ml.in test-driver ar-lib)
list(TRANSFORM backtrace_members PREPEND ${backtrace_top}/)
ExternalProject_Add(libbacktrace
  PREFIX ${backtrace_root}
  SOURCE_DIR ${backtrace_root}/source
  BINARY_DIR ${backtrace_build}
  DOWNLOAD_COMMAND tar -xJf ${backtrace_tarball} -C <SOURCE_DIR> --strip-components=1
                   ${backtrace_members}
  CONFIGURE_COMMAND <SOURCE_DIR>/libbacktrace/configure --host=${backtrace_host}
                    CC=${CMAKE_C_COMPILER} "CFLAGS=-O2 -g"
  BUILD_COMMAND make -j2 libbacktrace.la
  # Its header, and the one its build made, apart from the other sources.
  INSTALL_COMMAND ${CMAKE_COMMAND} -E copy <SOURCE_DIR>/libbacktrace/backtrace.h
                  <BINARY_DIR>/gstdint.h ${backtrace_include}
  BUILD_BYPRODUCTS ${backtrace_library}
  LOG_CONFIGURE ON
  LOG_BUILD ON
  LOG_OUTPUT_ON_FAILURE ON)

# The folder must exist when the build is generated, before the copy.
file(MAKE_DIRECTORY ${backtrace_include})
add_library(backtrace STATIC IMPORTED)
set_target_properties(backtrace PROPERTIES IMPORTED_LOCATION ${backtrace_library})
target_include_directories(backtrace INTERFACE ${backtrace_include})
add_dependencies(backtrace libbacktrace)
