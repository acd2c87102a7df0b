# Cross build for 64-bit IBM Z Linux (Debian's s390x, big-endian) with
# Debian's cross compilers (g++-s390x-linux-gnu); programs and tests run
# under qemu.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(DEBIAN_ARCHITECTURE s390x)
set(cross_triplet s390x-linux-gnu)
set(cross_emulator qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/DebianCross.cmake)
