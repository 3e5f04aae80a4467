# SPDX-License-Identifier: ISC
# WebAssembly, by emscripten, as emcmake would configure it; its programs run
# under node (the toolchain's emulator). Needs emcc on PATH.
# cmake -S . -B build-wasm --toolchain cmake/toolchains/wasm.cmake
execute_process(COMMAND em-config EMSCRIPTEN_ROOT OUTPUT_VARIABLE root
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
include(${root}/cmake/Modules/Platform/Emscripten.cmake)
