# ncurses' libtinfo, which reads the terminal's terminfo entry: the imported
# target `terminfo`, the archive where the program is linked statically. The
# machine's own when libncurses-dev of the target's architecture is installed
# (in the toolchain's folders when cross-compiling), else Debian's packages of
# that architecture unpacked into the build.
include(${CMAKE_CURRENT_LIST_DIR}/DebianPackages.cmake)

if(RESZMATRIX_STATIC)
  set(terminfo_names libtinfo.a)
else()
  set(terminfo_names tinfo)
endif()
find_path(TERMINFO_INCLUDE_DIR term.h PATH_SUFFIXES ncurses)
find_library(TERMINFO_LIBRARY NAMES ${terminfo_names})
if(NOT TERMINFO_INCLUDE_DIR OR NOT TERMINFO_LIBRARY)
  debian_packages(root libncurses-dev libtinfo6 libncurses6)
  set(TERMINFO_INCLUDE_DIR ${root}/usr/include)
  file(GLOB library_folders ${root}/usr/lib/*-linux-*)
  find_library(TERMINFO_LIBRARY NAMES ${terminfo_names} PATHS ${library_folders} NO_DEFAULT_PATH
               NO_CMAKE_FIND_ROOT_PATH)
  if(NOT EXISTS ${TERMINFO_INCLUDE_DIR}/term.h OR NOT TERMINFO_LIBRARY)
    message(FATAL_ERROR "libtinfo (package libncurses-dev) not found")
  endif()
endif()
message(STATUS "libtinfo: ${TERMINFO_LIBRARY}")

add_library(terminfo INTERFACE IMPORTED)
target_include_directories(terminfo INTERFACE ${TERMINFO_INCLUDE_DIR})
target_link_libraries(terminfo INTERFACE ${TERMINFO_LIBRARY})
