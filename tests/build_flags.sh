#!/bin/sh
# SPDX-License-Identifier: ISC
# Checks a build folder: every compile line keeps the arithmetic exact
# (-ffp-contract=off, no fast math), with SSE2's doubles where the target is
# 32-bit x86 (X86_32 1) and only there; the configure probes found what a
# Linux target has.
# usage: build_flags.sh FOLDER X86_32
folder=$1
x86_32=$2
# The project's own compile lines, not those of a GoogleTest built beside it.
commands=$(grep '"command":' "$folder/compile_commands.json" | grep -v -e '-c [^ ]*/googletest/')
[ -n "$commands" ] || { echo "$folder has no compile lines"; exit 1; }
if echo "$commands" | grep -v -e '-ffp-contract=off' ||
    echo "$commands" | grep -e '-ffast-math' -e '-Ofast' -e '-ffp-contract=fast' -e '-ffp-contract=on'; then
    echo "$folder: a compile line that does not keep the arithmetic exact"
    exit 1
fi
if [ "$x86_32" = 1 ]; then
    echo "$commands" | grep -v -e '-mfpmath=sse' && { echo "$folder: x87 arithmetic"; exit 1; }
else
    echo "$commands" | grep -e '-mfpmath' && { echo "$folder: -mfpmath off x86"; exit 1; }
fi
for probe in TARGET_X86_32=$x86_32 HAVE_STACK_PROTECTOR=1 FORTIFY_UNSET=1 LINKER_RELRO=1 \
    LINKER_NOW=1 LINKER_AS_NEEDED=1; do
    want=${probe#*=}
    [ "$want" = 1 ] || want=
    value=$(sed -n "s/^TIVOREL_${probe%=*}:INTERNAL=//p" "$folder/CMakeCache.txt")
    [ "$value" = "$want" ] || {
        echo "$folder: probe ${probe%=*} gave '$value', not '$want'"
        exit 1
    }
done
echo "$folder: $(echo "$commands" | wc -l) compile lines with -ffp-contract=off; probes as expected"
