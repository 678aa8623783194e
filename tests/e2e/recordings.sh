#!/bin/sh
# Drive recordings made under Wine replay identical natively: one that
# drive.exe makes of the demo drive with the real plug-in, and one that the
# real plug-in's own recorder writes beside itself during a drive.
# Usage: recordings.sh WINE_SH PREFIX DRIVE_EXE PLUGIN NATIVE_DRIVE EXAMPLES_FOLDER WORK_FOLDER
# Every path is absolute, as CTest gives them: the script changes folder.
set -eu
wine_sh=$1
prefix=$2
drive=$3
plugin=$4
native_drive=$5
examples=$6
work=$7
drives=$(cd "$(dirname "$0")/recorder" && pwd)

rm -rf "$work"
mkdir -p "$work/own"
work=$(cd "$work" && pwd -P)
cp "$drives/record.drive" "$work/own/"
cp "$plugin" "$work/own/ManualGearbox.asi"
{ cat "$examples/MTconfig.ini"; printf '\nRecord=120\n'; } >"$work/own/MTconfig.ini"
cd "$work"
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# replays RECORDING: the native drive replays it identical.
replays() {
    if output=$("$native_drive" replay "$1" 2>&1) &&
        printf '%s\n' "$output" | grep -qE '^[0-9]+ passes replayed, identical$'; then
        echo "ok: $1: $output"
    else
        fail "$1 does not replay identical: $output"
    fi
}

"$wine_sh" "$prefix" run "$drive" --record demo.drec "$plugin" "$examples/demo.drive" >demo.out 2>&1 ||
    fail "the demo drive under Wine: $(tail -n 3 demo.out)"
replays demo.drec

"$wine_sh" "$prefix" run "$drive" own/ManualGearbox.asi own/record.drive >own.out 2>&1 ||
    fail "own/record.drive under Wine: $(tail -n 3 own.out)"
set -- own/ManualGearbox-*.drec
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    fail "the plug-in wrote no single recording beside itself: $*"
else
    grep -qF "notice: Manual Gearbox: drive recorded in $(basename "$1")" own.out ||
        fail "no notice names $(basename "$1")"
    replays "$1"
fi

[ "$failures" -eq 0 ]
