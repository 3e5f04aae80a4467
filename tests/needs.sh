#!/bin/sh
# SPDX-License-Identifier: ISC
# Runs a test that needs a program, or reports it skipped (77) where the
# program is missing. usage: needs.sh PROGRAM COMMAND [ARG...]
if ! command -v "$1" >/dev/null 2>&1; then
    echo "$1 not found: skipped"
    exit 77
fi
shift
exec "$@"
