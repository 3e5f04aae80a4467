#!/bin/sh
# SPDX-License-Identifier: ISC
# Checks that the tool does not load the C++ runtime at start: the libraries
# it names for the loader include no libstdc++, libc++ or libc++abi. Reports
# itself skipped (77) where no tool here can list them.
# usage: no_cxx_runtime.sh TOOL
tool=$1
if command -v readelf >/dev/null 2>&1; then
    libs=$(readelf -d "$tool") || exit 1
elif command -v llvm-readelf >/dev/null 2>&1; then
    libs=$(llvm-readelf -d "$tool") || exit 1
elif command -v otool >/dev/null 2>&1; then
    libs=$(otool -L "$tool") || exit 1
else
    echo "no readelf, llvm-readelf or otool here: skipped"
    exit 77
fi
echo "$libs"
case $libs in
*"no dynamic section"*) exit 0 ;; # linked statically: nothing is loaded
*libc.* | *libc-* | *libSystem*) ;;
*) echo "no C library among the libraries listed: cannot tell"; exit 1 ;;
esac
if echo "$libs" | grep -E 'libstdc\+\+|libc\+\+'; then
    echo "the tool loads the C++ runtime"
    exit 1
fi
