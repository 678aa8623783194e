#!/bin/sh
# Runs check-bindings in FOLDER and checks its exit status and its output: with
# EXPECTED a file in FOLDER, standard output must equal it byte for byte and
# standard error be empty; with EXPECTED "error", standard output must be empty
# and standard error one line naming the tool; with "error:MESSAGE", that line
# must be MESSAGE.
# Usage: golden.sh FOLDER EXPECTED STATUS ACTUAL COMMAND [ARGUMENT...]
set -u
folder=$1
expected=$2
expected_status=$3
actual=$4
shift 4
cd "$folder" || exit 1

"$@" >"$actual" 2>"$actual.stderr"
status=$?
fail=0
if [ "$status" -ne "$expected_status" ]; then
    echo "exit status $status, expected $expected_status"
    fail=1
fi
case $expected in
error:*) message=${expected#error:} ;;
*) message="" ;;
esac
if [ "$expected" = error ] || [ -n "$message" ]; then
    if [ -s "$actual" ]; then
        echo "unexpected standard output:"
        cat "$actual"
        fail=1
    fi
    if [ "$(wc -l <"$actual.stderr")" -ne 1 ] || ! grep -q '^check-bindings: ' "$actual.stderr"; then
        echo "standard error is not one line naming the tool:"
        cat "$actual.stderr"
        fail=1
    elif [ -n "$message" ] && [ "$(cat "$actual.stderr")" != "$message" ]; then
        echo "standard error is not \"$message\":"
        cat "$actual.stderr"
        fail=1
    fi
else
    if ! cmp -s "$expected" "$actual"; then
        echo "standard output differs from $expected:"
        diff "$expected" "$actual"
        fail=1
    fi
    if [ -s "$actual.stderr" ]; then
        echo "unexpected standard error:"
        cat "$actual.stderr"
        fail=1
    fi
fi
exit $fail
