# Cross build for 32-bit ARM Linux with the hardware floating point (Debian's
# armhf, Thumb-2 code) with Debian's cross compilers
# (g++-arm-linux-gnueabihf); programs and tests run under qemu.
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(DEBIAN_ARCHITECTURE armhf)
set(cross_triplet arm-linux-gnueabihf)
set(cross_emulator qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/DebianCross.cmake)
