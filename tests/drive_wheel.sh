#!/bin/sh
# The wheel's drives, natively: its clutch pedal and H-shifter, the wheel
# alone driving, none attached and one plugged in during the drive, in their
# own folder; then choosing the
# pedal and the gates in a fresh copy of its folder, since that rewrites
# MTconfig.ini, which must read as expected, the old file as the .bak.
# Usage: drive_wheel.sh DRIVE CASES_FOLDER WORK_FOLDER
set -eu
drive=$1 cases=$2 work=$3

cd "$cases"
"$drive" shifter.drive driving/driving.drive unplugged.drive late.drive
rm -rf "$work"
mkdir -p "$work"
cp choose.drive "$work/"
cp choose.ini "$work/MTconfig.ini"
cd "$work"
"$drive" choose.drive
cmp MTconfig.ini "$cases/choose.expected"
cmp MTconfig.ini.bak "$cases/choose.ini"
