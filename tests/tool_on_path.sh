# SPDX-License-Identifier: ISC
# shellcheck shell=sh
# Sourced by the tests that run the tool as "tivorel" from PATH, with the
# tool's path as $1. Makes $work, a folder removed at exit, and puts in
# $work/bin a "tivorel" that runs the tool: a link to it or, where
# TIVOREL_TEST_EMULATOR names a user-mode emulator and its arguments
# ("qemu-i386", say), a script that runs it there under that name.
case $1 in
/*) tool=$1 ;;
*) tool=$PWD/$1 ;;
esac
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
if [ -n "${TIVOREL_TEST_EMULATOR:-}" ]; then
    printf '#!/bin/sh\nexec %s -0 tivorel "%s" "$@"\n' "$TIVOREL_TEST_EMULATOR" "$tool" \
        >"$work/bin/tivorel"
    chmod +x "$work/bin/tivorel"
else
    ln -s "$tool" "$work/bin/tivorel"
fi
