#!/bin/sh
# SPDX-License-Identifier: ISC
# The tool under valgrind: no error and no definite leak, for a chart, a
# refused date and the usage text, each with its usual status.
# usage: valgrind.sh TOOL
log=$(mktemp) || exit 1
trap 'rm -f "$log"' EXIT
for run in "0 1990-05-17 2026-12-09 500" "1 2000-13-01 2026-12-09 31" "0 -h"; do
    expected=${run%% *}
    args=${run#* }
    status=0
    # shellcheck disable=SC2086 # the arguments' words
    valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
        --log-file="$log" "$1" $args >/dev/null 2>&1 || status=$?
    if [ "$status" -ne "$expected" ] || ! grep -q 'ERROR SUMMARY: 0 errors' "$log"; then
        echo "valgrind: tivorel $args ended with status $status (expected $expected)"
        cat "$log"
        exit 1
    fi
    echo "valgrind clean: tivorel $args (status $status)"
done
