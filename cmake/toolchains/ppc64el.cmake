# SPDX-License-Identifier: ISC
# 64-bit little-endian POWER (Debian's ppc64el), built by clang and run under qemu-ppc64le; see debian-cross.cmake.
# cmake -S . -B build-ppc64el --toolchain cmake/toolchains/ppc64el.cmake
set(CMAKE_SYSTEM_PROCESSOR ppc64le)
set(TIVOREL_CROSS_TRIPLET powerpc64le-linux-gnu)
set(TIVOREL_CROSS_QEMU qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
