# Debian's packages of the target's architecture, unpacked into the build's
# own folder instead of installed: a cross build's libraries where apt cannot
# install them beside the host's (a foreign architecture's index may lag the
# host's, and packages of one version must match across architectures), and a
# library whose package conflicts with one the machine needs. Needs apt's
# lists for that architecture (dpkg --add-architecture, apt-get update).

# The target's Debian architecture: the toolchain file's, else the machine's.
if(NOT DEBIAN_ARCHITECTURE)
  execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE DEBIAN_ARCHITECTURE
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()

# Unpacks each of the packages named after `variable` once, and sets
# `variable` to the folder that holds them as they would lie under /.
function(debian_packages variable)
  set(root ${CMAKE_BINARY_DIR}/debian-packages/${DEBIAN_ARCHITECTURE})
  set(downloads ${CMAKE_BINARY_DIR}/debian-packages/downloads)
  file(MAKE_DIRECTORY ${root} ${downloads})
  foreach(package IN LISTS ARGN)
    set(unpacked ${root}/.unpacked-${package})
    if(EXISTS ${unpacked})
      continue()
    endif()
    execute_process(COMMAND apt-get download -q ${package}:${DEBIAN_ARCHITECTURE}
                    WORKING_DIRECTORY ${downloads} RESULT_VARIABLE failed OUTPUT_QUIET
                    ERROR_VARIABLE why)
    file(GLOB archives ${downloads}/${package}_*_${DEBIAN_ARCHITECTURE}.deb)
    if(failed OR NOT archives)
      message(FATAL_ERROR "apt-get download ${package}:${DEBIAN_ARCHITECTURE} failed (add the "
                          "architecture with dpkg --add-architecture, then apt-get update): ${why}")
    endif()
    list(GET archives -1 archive)
    execute_process(COMMAND dpkg -x ${archive} ${root} COMMAND_ERROR_IS_FATAL ANY)
    file(TOUCH ${unpacked})
    message(STATUS "Unpacked ${package}:${DEBIAN_ARCHITECTURE} into ${root}")
  endforeach()
  set(${variable} ${root} PARENT_SCOPE)
endfunction()
