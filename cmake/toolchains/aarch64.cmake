# SPDX-License-Identifier: ISC
# 64-bit ARM (Debian's arm64), built by clang and run under qemu-aarch64; see debian-cross.cmake.
# cmake -S . -B build-aarch64 --toolchain cmake/toolchains/aarch64.cmake
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TIVOREL_CROSS_TRIPLET aarch64-linux-gnu)
set(TIVOREL_CROSS_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
