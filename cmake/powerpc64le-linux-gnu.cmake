# Cross build for 64-bit little-endian POWER Linux (Debian's ppc64el) with
# Debian's cross compilers (g++-powerpc64le-linux-gnu); programs and tests
# run under qemu.
set(CMAKE_SYSTEM_PROCESSOR ppc64le)
set(DEBIAN_ARCHITECTURE ppc64el)
set(cross_triplet powerpc64le-linux-gnu)
set(cross_emulator qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/DebianCross.cmake)
