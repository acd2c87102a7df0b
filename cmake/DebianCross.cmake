# What the cross builds for Linux share, with Debian's cross compilers: the
# toolchain file of each target names `cross_triplet` (the GNU triplet of
# Debian's cross toolchain), `DEBIAN_ARCHITECTURE` and `cross_emulator` (the
# qemu user-mode emulator that runs the target's programs and tests) first.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${cross_triplet}-gcc)
set(CMAKE_CXX_COMPILER ${cross_triplet}-g++)

# The target's files: the cross toolchain's own folder, and the system's
# folders, where Debian's packages for the target's architecture put headers
# shared by every architecture in /usr/include and libraries in
# /usr/lib/<multiarch folder>. The host's libraries, in its own
# architecture's folders, are never searched. What is not found there comes
# from the target's Debian packages, unpacked into the build
# (DebianPackages.cmake).
set(CMAKE_FIND_ROOT_PATH /usr/${cross_triplet} /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The emulator looks up the target's files in the cross toolchain's folder
# first, then on the host. The target's dynamic loader searches Debian's
# folders for the target's architecture first, where packages of that
# architecture put a C library of their own that need not match the cross
# toolchain's. So the loader searches the cross toolchain's library folder
# first, and a program runs with the C library it was linked against.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${cross_emulator} -L /usr/${cross_triplet} -E LD_LIBRARY_PATH=/usr/${cross_triplet}/lib)
