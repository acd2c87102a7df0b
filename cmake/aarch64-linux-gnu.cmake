# Cross build for 64-bit ARM Linux with Debian's cross compilers
# (g++-aarch64-linux-gnu). Programs and tests run under qemu's user-mode
# emulator, with the target's dynamic loader and libraries from the cross
# toolchain's folder.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(cross_triplet aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${cross_triplet}-gcc)
set(CMAKE_CXX_COMPILER ${cross_triplet}-g++)

# The target's files: the cross toolchain's own folder, and the system's
# folders, where Debian's packages for the target's architecture (such as
# libncurses-dev:arm64) put headers shared by every architecture in
# /usr/include and libraries in /usr/lib/aarch64-linux-gnu. The host's
# libraries, in its own architecture's folders, are never searched.
set(CMAKE_FIND_ROOT_PATH /usr/${cross_triplet} /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The emulator looks up the target's files in the cross toolchain's folder
# first, then on the host. The target's dynamic loader searches Debian's
# folders for the target's architecture first, where the arm64 packages above
# put a C library of their own that need not match the cross toolchain's.
# So the loader searches the cross toolchain's library folder first, and a
# program runs with the C library it was linked against.
set(CMAKE_CROSSCOMPILING_EMULATOR
    qemu-aarch64 -L /usr/${cross_triplet} -E LD_LIBRARY_PATH=/usr/${cross_triplet}/lib)
