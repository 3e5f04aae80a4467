# SPDX-License-Identifier: ISC
# The tool on musl, for this machine's processor: g++ compiles with musl's C
# headers and libstdc++'s C++ headers (without exceptions or RTTI, which the
# tool does not use), and musl-gcc links with musl's C library and libm. The
# tool needs nothing of the C++ runtime, so none is linked; the tests need it,
# so build the tool alone (-DBUILD_TESTING=OFF) and run a native build's tests
# against it with TIVOREL_TEST_BINARY. Needs Debian's musl-tools and musl-dev.
# cmake -S . -B build-musl -DBUILD_TESTING=OFF --toolchain cmake/toolchains/musl.cmake
set(CMAKE_CXX_COMPILER g++)
execute_process(COMMAND g++ -dumpversion OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND g++ -dumpmachine OUTPUT_VARIABLE machine OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND g++ -print-file-name=include OUTPUT_VARIABLE gcc_include
    OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX REPLACE "-.*" "" processor "${machine}")
# libstdc++'s configuration asks for glibc's version; musl is none.
string(JOIN " " CMAKE_CXX_FLAGS_INIT -fno-exceptions -fno-rtti "'-D__GLIBC_PREREQ(major,minor)=0'"
    -nostdinc -isystem /usr/include/c++/${version} -isystem /usr/include/${machine}/c++/${version}
    -isystem ${gcc_include} -isystem /usr/include/${processor}-linux-musl)
set(CMAKE_CXX_LINK_EXECUTABLE
    "musl-gcc <FLAGS> <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")
