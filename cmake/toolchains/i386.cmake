# SPDX-License-Identifier: ISC
# 32-bit x86 (Debian's i386) from x86-64, by g++ -m32 (Debian's g++-multilib).
# The programs run natively where the kernel runs 32-bit x86 programs, else
# under qemu-i386 (qemu-user): the 32-bit loader, which every such program
# needs, tells which. TIVOREL_I386_EMULATED=1 in the environment asks for
# qemu-i386 on any kernel.
# cmake -S . -B build-i386 --toolchain cmake/toolchains/i386.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
if(NOT DEFINED CACHE{CMAKE_CROSSCOMPILING_EMULATOR})
    execute_process(COMMAND /lib/ld-linux.so.2 --version RESULT_VARIABLE status
        OUTPUT_QUIET ERROR_VARIABLE why)
    if(DEFINED ENV{TIVOREL_I386_EMULATED})
        set(why "TIVOREL_I386_EMULATED is set")
    elseif(NOT status EQUAL 0)
        string(STRIP "the kernel refuses them: ${status} ${why}" why)
    endif()
    if(DEFINED ENV{TIVOREL_I386_EMULATED} OR NOT status EQUAL 0)
        message(STATUS "32-bit x86 programs run under qemu-i386 (${why})")
        set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 CACHE STRING "Runs the programs built here")
    else()
        message(STATUS "32-bit x86 programs run natively")
        set(CMAKE_CROSSCOMPILING_EMULATOR "" CACHE STRING "Runs the programs built here")
    endif()
endif()
