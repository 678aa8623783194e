#!/bin/sh
# The wheel's drives, natively: its clutch pedal and H-shifter, the wheel
# alone driving, its force feedback and force feedback refused, none
# attached, one plugged in during the drive and a clutch pedal bound the
# other way, in their own folder; then choosing the wheel's parts, and
# choosing them across a focus loss and a replug, each in a fresh copy of its
# folder, since that rewrites MTconfig.ini, which must read as expected, the
# old file (choose.ini) as the .bak.
# Usage: drive_wheel.sh DRIVE CASES_FOLDER WORK_FOLDER
set -eu
drive=$1 cases=$2 work=$3

cd "$cases"
"$drive" shifter.drive driving/driving.drive forces/forces.drive taken/taken.drive \
    unplugged.drive reversed.drive late.drive
for case in choose lost; do
    rm -rf "$work/$case"
    mkdir -p "$work/$case"
    cp "$cases"/*.* "$work/$case/"
    cp "$cases/choose.ini" "$work/$case/MTconfig.ini"
    (cd "$work/$case" && "$drive" "$case.drive")
    cmp "$work/$case/MTconfig.ini" "$cases/$case.expected"
    cmp "$work/$case/MTconfig.ini.bak" "$cases/choose.ini"
done
