# SPDX-License-Identifier: ISC
# 64-bit IBM Z, big-endian (Debian's s390x), built by clang and run under qemu-s390x; see debian-cross.cmake.
# cmake -S . -B build-s390x --toolchain cmake/toolchains/s390x.cmake
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(TIVOREL_CROSS_TRIPLET s390x-linux-gnu)
set(TIVOREL_CROSS_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
