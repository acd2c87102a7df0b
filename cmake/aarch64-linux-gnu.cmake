# Cross build for 64-bit ARM Linux (Debian's arm64) with Debian's cross
# compilers (g++-aarch64-linux-gnu); programs and tests run under qemu.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(DEBIAN_ARCHITECTURE arm64)
set(cross_triplet aarch64-linux-gnu)
set(cross_emulator qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/DebianCross.cmake)
