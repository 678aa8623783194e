#!/bin/sh
# Fails unless a DLL exports exactly the script hook's six entry points, by
# their decorated names, so a plug-in can't come to depend on anything else.
# Usage: check_exports.sh OBJDUMP DLL
set -eu
objdump=$1
dll=$2

dump=$("$objdump" -p "$dll") || { echo "cannot read the export table of $dll" >&2; exit 1; }
exports=$(printf '%s\n' "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' | sort)
expected=$(printf '%s\n' '?nativeCall@@YAPEA_KXZ' '?nativeInit@@YAX_K@Z' '?nativePush64@@YAX_K@Z' \
    '?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z' '?scriptUnregister@@YAXPEAUHINSTANCE__@@@Z' \
    '?scriptWait@@YAXK@Z' | sort)
if [ "$exports" != "$expected" ]; then
    echo "$dll exports:" >&2
    printf '%s\n' "$exports" | sed 's/^/    /' >&2
    echo "but should export exactly:" >&2
    printf '%s\n' "$expected" | sed 's/^/    /' >&2
    exit 1
fi
echo "$dll: exports exactly the hook's six decorated entry points"
