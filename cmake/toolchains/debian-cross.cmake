# SPDX-License-Identifier: ISC
# Shared by the toolchain files beside it: a Linux program for another
# processor, built by clang with Debian's cross C library and libstdc++
# (libstdc++-12-dev-ARCH-cross) and linked by that processor's binutils
# (binutils-TRIPLET). The programs it builds run here under Debian's
# user-mode emulator (qemu-user), which CMake runs them through. gcc's own
# cross compilers would do as well, but on Debian 12 they cannot stay
# installed beside g++-multilib.
# Before including it, a toolchain file sets CMAKE_SYSTEM_PROCESSOR,
# TIVOREL_CROSS_TRIPLET (the GNU triplet) and TIVOREL_CROSS_QEMU (qemu-ARCH).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${TIVOREL_CROSS_TRIPLET})
set(CMAKE_CXX_COMPILER_TARGET ${TIVOREL_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH /usr/${TIVOREL_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages also from outside it: GoogleTest built for the target, say.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# -L: where the emulated program finds its loader and shared libraries. In
# the cache, so that scripts can read it and a -D given can replace it.
set(CMAKE_CROSSCOMPILING_EMULATOR ${TIVOREL_CROSS_QEMU} -L /usr/${TIVOREL_CROSS_TRIPLET}
    CACHE STRING "Runs the programs built here")
