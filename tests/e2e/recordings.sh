#!/bin/sh
# Drive recordings made under Wine replay identical natively: those that
# drive.exe makes of the demo drive and of the gear feel's drive (which
# replays identical through the world too) with the real plug-in, and those
# that the
# real plug-in's own recorder writes beside itself: during a drive, when the
# drive ends and the plug-in is unloaded mid-recording, and after a save that
# failed (a folder in the temporary file's place) on the next press of F9,
# with nothing else left beside it; through reloads of an edited, a deleted
# and a UTF-16 key-binding file; and, of a drive that chooses keys, one
# spanning the choosing and one made after it: these replay identical through
# the world too. And none saved on a nearly full disk.
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
. "$(dirname "$0")/common.sh"

fresh_work "$work"
# Each drive of the recorder in a folder of its own, with the plug-in.
for name in record unload retry reload choose; do
    mkdir "$work/$name"
    cp "$drives/$name.drive" "$work/$name/"
    cp "$plugin" "$work/$name/ManualGearbox.asi"
    { cat "$examples/MTconfig.ini"; printf '\nRecord=120\nReload=116\nEnable/Disable=84\nPadHold=68\nPadUp=73\n'; } \
        >"$work/$name/MTconfig.ini"
done
mkdir "$work/retry/ManualGearbox.drec.tmp"
sed 's/^FirstGear=49$/FirstGear=97/' "$work/reload/MTconfig.ini" >"$work/reload/edited.ini"
printf '\377\376R\000=\0001\000\n\000' >"$work/reload/utf16.ini"
cd "$work"

# replays RECORDING: the native drive replays it identical.
replays() {
    if output=$("$native_drive" replay "$1" 2>&1) &&
        printf '%s\n' "$output" | grep -qE '^[0-9]+ passes replayed, identical$'; then
        echo "ok: $1: $output"
    else
        fail "$1 does not replay identical: $output"
    fi
}

# replaysThroughWorld RECORDING: and so does the world.
replaysThroughWorld() {
    if output=$("$native_drive" replay --world "$1" 2>&1); then
        echo "ok: --world $1: $output"
    else
        fail "$1 does not replay through the world: $output"
    fi
}

"$wine_sh" "$prefix" run "$drive" --record demo.drec "$plugin" "$examples/demo.drive" >demo.out 2>&1 ||
    fail "the demo drive under Wine: $(tail -n 3 demo.out)"
replays demo.drec
"$wine_sh" "$prefix" run "$drive" --record feel.drec "$plugin" "$examples/feel.drive" >feel.out 2>&1 ||
    fail "the gear feel's drive under Wine: $(tail -n 3 feel.out)"
replays feel.drec
replaysThroughWorld feel.drec

# Each leaves its recordings (choose two, the others one) beside the plug-in
# and nothing else new there.
for name in record unload retry reload choose; do
    "$wine_sh" "$prefix" run "$drive" $name/ManualGearbox.asi $name/$name.drive >$name.out 2>&1 ||
        fail "$name/$name.drive under Wine: $(tail -n 3 $name.out)"
    set -- $name/ManualGearbox-*.drec
    left=$(cd $name && LC_ALL=C ls -A | tr '\n' ' ')
    extra=$([ $name != reload ] || echo edited.ini utf16.ini)
    expected=$({ for recording; do echo "${recording#*/}"; done
        printf '%s\n' ManualGearbox.asi ManualGearbox.log MTconfig.ini $name.drive $extra; } |
        LC_ALL=C sort | tr '\n' ' ')
    if [ "$left" != "$expected" ] || [ $# != $([ $name = choose ] && echo 2 || echo 1) ]; then
        fail "$name: not its recordings and nothing else beside the plug-in: $left"
        continue
    fi
    for recording; do
        [ $name = unload ] || [ $name = reload ] ||
            grep -qF "notice: Manual Gearbox: drive recorded in ${recording#*/}" $name.out ||
            fail "no notice names $recording"
        replays "$recording"
        [ $name != reload ] && [ $name != choose ] || replaysThroughWorld "$recording"
    done
done

# A nearly full disk, as a limit on a file's size makes one (its signal
# ignored): Wine writes the recording's first slice only in part and says it
# went through, which is told as a full disk, and no recording is left.
mkdir short
cp record/ManualGearbox.asi record/MTconfig.ini "$drives/record.drive" short/
(trap '' XFSZ && ulimit -f 100 && "$wine_sh" "$prefix" run "$drive" short/ManualGearbox.asi \
    short/record.drive) >short.out 2>&1 || fail "short/record.drive under Wine: $(tail -n 3 short.out)"
grep -qF 'recording not saved, the disk is full. Press F9 to try again.' short.out ||
    fail "a write that went through in part is not told as a full disk"
! ls short | grep -q drec || fail "a recording left beside the plug-in after a write in part"
passed
