#!/bin/sh
# The recordings' fuzz seeds, made afresh from this build: the native drive
# records the demo drive, the wheel's H-shifter drive, the wheel alone
# driving and its force feedback, the plug-in's own recorder records own/recorder.drive, and
# make_recording_seeds cuts, edits and damages them into SEEDS/recordings,
# with the exit status and lines that each replay must give in SEEDS/table.
# Usage: make_recording_seeds.sh DRIVE MAKE_RECORDING_SEEDS EXAMPLES_FOLDER SEEDS
set -eu
drive=$1
make_seeds=$2
examples=$3
seeds=$4

here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$seeds"
mkdir -p "$seeds/own" "$seeds/recordings"
"$drive" --record "$seeds/demo.drec" "$examples/demo.drive" >/dev/null
"$drive" --record "$seeds/wheel.drec" "$here/../e2e/wheel/shifter.drive" >/dev/null
"$drive" --record "$seeds/driving.drec" "$here/../e2e/wheel/driving/driving.drive" >/dev/null
"$drive" --record "$seeds/forces.drec" "$here/../e2e/wheel/forces/forces.drive" >/dev/null
# The native drive's plug-in lives in the program's folder, and writes its
# recordings there: a copy of it in the drive's folder keeps them together.
cp "$drive" "$here/own/recorder.drive" "$seeds/own/"
{
    cat "$examples/MTconfig.ini"
    echo "Record=120"
    echo "Reload=116"
} >"$seeds/own/MTconfig.ini"
"$seeds/own/$(basename "$drive")" "$seeds/own/recorder.drive" >/dev/null
set -- "$seeds"/own/ManualGearbox-*.drec
[ $# -eq 1 ] && [ -f "$1" ] || {
    echo "the plug-in's own recorder wrote no recording (or several): $*"
    exit 1
}
"$make_seeds" "$seeds/demo.drec" "$1" "$seeds/wheel.drec" "$seeds/driving.drec" \
    "$seeds/forces.drec" "$seeds/recordings" "$seeds/table"
