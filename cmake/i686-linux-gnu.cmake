# Cross build for 32-bit x86 Linux (Debian's i386) with Debian's cross
# compilers (g++-i686-linux-gnu); programs and tests run under qemu.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DEBIAN_ARCHITECTURE i386)
set(cross_triplet i686-linux-gnu)
set(cross_emulator qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/DebianCross.cmake)
