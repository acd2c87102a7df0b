# Read by cpack for each generator: the Debian package also takes the files
# of the `debian` component (copyright, changelog, lintian override).
if(CPACK_GENERATOR STREQUAL "DEB")
  list(GET CPACK_INSTALL_CMAKE_PROJECTS 0 binary_dir)
  list(APPEND CPACK_INSTALL_CMAKE_PROJECTS ${binary_dir} reszmatrix debian /)
endif()
