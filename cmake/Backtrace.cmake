# libbacktrace, which reads the program's debug information for the
# fatal-error report: the target `backtrace`. On Windows one built for the
# cross compiler, elsewhere the one that ships with GCC for the target.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/MingwBacktrace.cmake)
  return()
endif()

# The compiler that builds the program, given the build's flags, names the
# library for its target: GCC its own, clang that of the GCC installation it
# uses. A clang whose installation has none asks the GCC of the same target,
# which Debian names after the target's architecture. backtrace.h lies in
# GCC's include folder, beside the library.
function(find_gcc_backtrace compiler)
  execute_process(COMMAND ${compiler} ${ARGN} -print-file-name=libbacktrace.a
                  OUTPUT_VARIABLE library OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  cmake_path(GET library PARENT_PATH folder)
  if(IS_ABSOLUTE "${library}" AND EXISTS "${library}" AND EXISTS "${folder}/include/backtrace.h")
    set(backtrace_library ${library} PARENT_SCOPE)
    set(gcc_include_dir ${folder}/include PARENT_SCOPE)
  endif()
endfunction()
separate_arguments(compiler_flags NATIVE_COMMAND "${CMAKE_CXX_FLAGS}")
if(CMAKE_CXX_COMPILER_TARGET)
  list(APPEND compiler_flags --target=${CMAKE_CXX_COMPILER_TARGET})
endif()
find_gcc_backtrace(${CMAKE_CXX_COMPILER} ${compiler_flags})
if(NOT backtrace_library AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND CMAKE_LIBRARY_ARCHITECTURE)
  find_gcc_backtrace(${CMAKE_LIBRARY_ARCHITECTURE}-gcc)
endif()
if(NOT backtrace_library)
  message(FATAL_ERROR "libbacktrace of GCC for ${CMAKE_SYSTEM_PROCESSOR} not found "
                      "(package libgcc-12-dev, or libgcc-12-dev-<arch>-cross for a cross build)")
endif()
message(STATUS "libbacktrace: ${backtrace_library}")

add_library(backtrace INTERFACE IMPORTED)
# After the system's folders, so that another compiler keeps its own headers.
target_compile_options(backtrace INTERFACE "SHELL:-idirafter ${gcc_include_dir}")
target_link_libraries(backtrace INTERFACE ${backtrace_library} ${CMAKE_DL_LIBS})
