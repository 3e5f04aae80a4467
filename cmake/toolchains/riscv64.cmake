# SPDX-License-Identifier: ISC
# 64-bit RISC-V (Debian's riscv64), built by clang and run under qemu-riscv64; see debian-cross.cmake.
# cmake -S . -B build-riscv64 --toolchain cmake/toolchains/riscv64.cmake
set(CMAKE_SYSTEM_PROCESSOR riscv64)
set(TIVOREL_CROSS_TRIPLET riscv64-linux-gnu)
set(TIVOREL_CROSS_QEMU qemu-riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
