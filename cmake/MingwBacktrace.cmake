# libbacktrace for the mingw build, from the GCC sources of Debian's
# gcc-12-source package (its PE reader finds the DWARF information of an
# .exe). Built once per build folder at configure time; defines the imported
# target `backtrace`.
get_filename_component(backtrace_compiler ${CMAKE_C_COMPILER} NAME)
string(REGEX REPLACE "-gcc.*$" "" backtrace_host ${backtrace_compiler})
set(backtrace_tarball /usr/src/gcc-12/gcc-12.2.0-dfsg.tar.xz)
set(backtrace_root ${CMAKE_BINARY_DIR}/libbacktrace)
set(backtrace_source ${backtrace_root}/gcc-12.2.0)
set(backtrace_build ${backtrace_root}/build)
set(backtrace_library ${backtrace_build}/.libs/libbacktrace.a)

if(NOT EXISTS ${backtrace_library})
  if(NOT EXISTS ${backtrace_tarball})
    message(FATAL_ERROR "GCC's sources not found (package gcc-12-source)")
  endif()
  message(STATUS "Building libbacktrace for ${CMAKE_SYSTEM_NAME}")
  file(MAKE_DIRECTORY ${backtrace_build})
  # libbacktrace's own folder, the headers it shares with GCC, and the helper
  # scripts its configure script looks for one folder up.
  execute_process(
    COMMAND tar -xJf ${backtrace_tarball} --wildcards
            gcc-12.2.0/libbacktrace/* gcc-12.2.0/include/* gcc-12.2.0/config/*
            gcc-12.2.0/config.guess gcc-12.2.0/config.sub gcc-12.2.0/install-sh
            gcc-12.2.0/ltmain.sh gcc-12.2.0/missing gcc-12.2.0/compile gcc-12.2.0/depcomp
            gcc-12.2.0/mkinstalldirs gcc-12.2.0/config-ml.in gcc-12.2.0/test-driver
            gcc-12.2.0/ar-lib
    WORKING_DIRECTORY ${backtrace_root}
    COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND ${backtrace_source}/libbacktrace/configure --host=${backtrace_host}
            CC=${CMAKE_C_COMPILER} "CFLAGS=-O2 -g"
    WORKING_DIRECTORY ${backtrace_build}
    OUTPUT_FILE ${backtrace_build}/configure.log
    ERROR_FILE ${backtrace_build}/configure.log
    COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND make -j2 libbacktrace.la
    WORKING_DIRECTORY ${backtrace_build}
    OUTPUT_FILE ${backtrace_build}/make.log
    ERROR_FILE ${backtrace_build}/make.log
    COMMAND_ERROR_IS_FATAL ANY)
endif()

# Its header, and the one the build made for it, apart from the other sources.
file(COPY ${backtrace_source}/libbacktrace/backtrace.h ${backtrace_build}/gstdint.h
     DESTINATION ${backtrace_root}/include)

add_library(backtrace STATIC IMPORTED)
set_target_properties(backtrace PROPERTIES IMPORTED_LOCATION ${backtrace_library})
target_include_directories(backtrace INTERFACE ${backtrace_root}/include)
