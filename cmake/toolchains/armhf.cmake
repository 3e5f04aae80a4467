# SPDX-License-Identifier: ISC
# 32-bit ARM with hardware floating point (Debian's armhf), built by clang and run under qemu-arm; see debian-cross.cmake.
# cmake -S . -B build-armhf --toolchain cmake/toolchains/armhf.cmake
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(TIVOREL_CROSS_TRIPLET arm-linux-gnueabihf)
set(TIVOREL_CROSS_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
